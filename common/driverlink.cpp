#include <windows.h>
#include "driverlink.h"

HANDLE deviceHandle = INVALID_HANDLE_VALUE;
HANDLE activationHandle = NULL;
HKEY builtInKey = NULL;

namespace {

// The device manager reports a driver it could not load as 0 on some
// versions of the platform and as INVALID_HANDLE_VALUE on others; either is
// kept as 0.
HANDLE Activate()
{
    HANDLE handle = ActivateDevice(kBuiltInKeyPath, 0);
    return handle == INVALID_HANDLE_VALUE ? NULL : handle;
}

}  // namespace

HANDLE EnsureDriverActive()
{
    activationHandle = Activate();
    if (activationHandle)
        return activationHandle;

    // A key that exists is used as it is, even when its values are wrong.
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kBuiltInKeyPath, 0, 0, &builtInKey) != ERROR_SUCCESS)
        WriteBuiltInKey();
    RegCloseKey(builtInKey);

    activationHandle = Activate();
    return activationHandle;
}

void WriteBuiltInKey()
{
    DWORD disposition;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kBuiltInKeyPath, 0, NULL, 0, 0, NULL, &builtInKey, &disposition);
    RegSetValueExW(builtInKey, kBuiltInDll, 0, REG_SZ, reinterpret_cast<const BYTE *>(kBuiltInDllData),
                   sizeof(kBuiltInDllData));
    RegSetValueExW(builtInKey, kBuiltInPrefix, 0, REG_SZ, reinterpret_cast<const BYTE *>(kBuiltInPrefixData),
                   sizeof(kBuiltInPrefixData));
    RegSetValueExW(builtInKey, kBuiltInIndex, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&kBuiltInIndexData),
                   sizeof(kBuiltInIndexData));
    RegSetValueExW(builtInKey, kBuiltInOrder, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&kBuiltInOrderData),
                   sizeof(kBuiltInOrderData));
    RegFlushKey(builtInKey);
}

HANDLE OpenKeyboardDevice(DriverBringUp bringUp)
{
    deviceHandle = CreateFileW(kKeyboardDeviceName, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (deviceHandle != INVALID_HANDLE_VALUE)
        return deviceHandle;

    if (bringUp == BRINGUP_ENSURE_ACTIVE)
        EnsureDriverActive();
    else
        ActivateDevice(kBuiltInKeyPath, 0);

    deviceHandle = CreateFileW(kKeyboardDeviceName, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    return deviceHandle;
}
