// The CE device manager, as far as stream drivers go.
//
// Whether a driver is loaded is system-wide: the volatile entries under
// HKLM "Drivers\Active\NN" say so. A process that opens a device loads the
// driver's DLL into itself on first use and talks to its stream entry points.
// A handle opened before its driver was unloaded fails every control call.
#include <windows.h>
#include <strsafe.h>
#include "cejournal.h"
#include "cecore_internal.h"

namespace {

typedef DWORD_PTR (*InitFn)(LPCWSTR activeKey, LPCVOID busContext);
typedef BOOL (*DeinitFn)(DWORD_PTR deviceContext);
typedef DWORD_PTR (*OpenFn)(DWORD_PTR deviceContext, DWORD access, DWORD share);
typedef BOOL (*CloseFn)(DWORD_PTR openContext);
typedef BOOL (*IOControlFn)(DWORD_PTR openContext, DWORD code, PBYTE in, DWORD inSize, PBYTE out, DWORD outSize,
                            PDWORD actual);

const wchar_t kActiveRoot[] = L"Drivers\\Active";
const int kMaxActive = 99;
const DWORD kHandleBase = 0x00DE0000;  // "Hnd" of entry NN is kHandleBase + NN
// Loading, unloading and opening are serialised across processes, as the
// device's own device manager does; a wait this long means a stuck holder.
const wchar_t kLockName[] = L"CePlatform device manager";
const DWORD kLockLimit = 30000;  // ms

struct Driver {
    wchar_t dll[MAX_PATH];
    wchar_t prefix[8];
    HMODULE module;
    DWORD_PTR deviceContext;
    InitFn init;
    DeinitFn deinit;
    OpenFn open;
    CloseFn close;
    IOControlFn ioControl;
};

struct OpenDevice {
    HANDLE handle;  // an unnamed event: a real handle value no other object has
    Driver *driver;
    DWORD_PTR openContext;
    wchar_t name[8];
    HKEY activeEntry;  // the driver's active entry when opened; deleted when it is unloaded
};

// Fixed tables: the control path must not allocate.
Driver drivers[8];
OpenDevice devices[16];
CeIoControlHook ioControlHook;
HANDLE activateFailure;

bool IsDeviceName(LPCWSTR name)
{
    // "XXXn:" - three letters, one digit, a colon
    if (!name)
        return false;
    for (int i = 0; i < 3; ++i)
        if (!iswalpha(name[i]))
            return false;
    return iswdigit(name[3]) && name[4] == L':' && name[5] == 0;
}

bool ReadString(HKEY key, LPCWSTR name, wchar_t *buffer, DWORD units)
{
    DWORD size = units * sizeof(wchar_t), type = 0;
    ZeroMemory(buffer, size);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size) != ERROR_SUCCESS
        || type != REG_SZ)
        return false;
    buffer[units - 1] = 0;
    return buffer[0] != 0;
}

bool ReadDword(HKEY key, LPCWSTR name, DWORD *number)
{
    DWORD size = sizeof(*number), type = 0;
    return RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(number), &size) == ERROR_SUCCESS
           && type == REG_DWORD && size == sizeof(*number);
}

void ActiveKeyPath(int number, wchar_t *buffer, size_t units)
{
    StringCchPrintfW(buffer, units, L"%s\\%02d", kActiveRoot, number);
}

// The number of the first active entry that `matches` (called with the
// entry's open key), or 0; its "Key" is read into builtInKey when given.
template <typename Match>
int FindActive(Match matches, wchar_t *builtInKey, size_t keyUnits)
{
    for (int n = 1; n <= kMaxActive; ++n) {
        wchar_t path[64];
        HKEY key;
        ActiveKeyPath(n, path, ARRAYSIZE(path));
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        bool match = matches(key);
        if (match && builtInKey)
            ReadString(key, L"Key", builtInKey, static_cast<DWORD>(keyUnits));
        RegCloseKey(key);
        if (match)
            return n;
    }
    return 0;
}

// The active entry whose "Name" is the device name.
int FindActiveByName(LPCWSTR deviceName, wchar_t *builtInKey, size_t keyUnits)
{
    return FindActive(
        [deviceName](HKEY key) {
            wchar_t name[16];
            return ReadString(key, L"Name", name, ARRAYSIZE(name)) && lstrcmpiW(name, deviceName) == 0;
        },
        builtInKey, keyUnits);
}

// The active entry whose "Hnd" is the handle ActivateDevice returned.
int FindActiveByHandle(DWORD handle, wchar_t *builtInKey, size_t keyUnits)
{
    return FindActive(
        [handle](HKEY key) {
            DWORD hnd = 0;
            return ReadDword(key, L"Hnd", &hnd) && hnd == handle;
        },
        builtInKey, keyUnits);
}

// Reads "DLL" and "Prefix" (and "Index") of a built-in key.
bool ReadBuiltInKey(LPCWSTR path, wchar_t *dll, wchar_t *prefix, DWORD *index)
{
    HKEY key;
    while (*path == L'\\')
        ++path;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD unused;
    bool ok = ReadString(key, L"DLL", dll, MAX_PATH) && ReadString(key, L"Prefix", prefix, 8)
              && ReadDword(key, L"Index", index ? index : &unused);
    RegCloseKey(key);
    return ok && lstrlenW(prefix) == 3;
}

// The driver loaded into this process, loading it when needed.
Driver *LoadDriver(LPCWSTR dll, LPCWSTR prefix)
{
    Driver *free = nullptr;
    for (Driver &d : drivers) {
        if (d.module && lstrcmpiW(d.prefix, prefix) == 0 && lstrcmpiW(d.dll, dll) == 0)
            return &d;
        if (!d.module && !free)
            free = &d;
    }
    if (!free)
        return nullptr;
    HMODULE module = LoadLibraryW(dll);
    if (!module)
        return nullptr;
    char entry[32];
    char p[8];
    WideCharToMultiByte(CP_ACP, 0, prefix, -1, p, sizeof(p), nullptr, nullptr);
    auto proc = [&](const char *suffix) {
        StringCchPrintfA(entry, ARRAYSIZE(entry), "%s_%s", p, suffix);
        return GetProcAddress(module, entry);
    };
    Driver d = {};
    StringCchCopyW(d.dll, ARRAYSIZE(d.dll), dll);
    StringCchCopyW(d.prefix, ARRAYSIZE(d.prefix), prefix);
    d.module = module;
    d.init = reinterpret_cast<InitFn>(proc("Init"));
    d.deinit = reinterpret_cast<DeinitFn>(proc("Deinit"));
    d.open = reinterpret_cast<OpenFn>(proc("Open"));
    d.close = reinterpret_cast<CloseFn>(proc("Close"));
    d.ioControl = reinterpret_cast<IOControlFn>(proc("IOControl"));
    if (!d.init || !d.deinit || !d.open || !d.close || !d.ioControl) {
        FreeLibrary(module);
        return nullptr;
    }
    *free = d;
    return free;
}

OpenDevice *FindDevice(HANDLE handle)
{
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return nullptr;
    for (OpenDevice &d : devices)
        if (d.handle == handle)
            return &d;
    return nullptr;
}

// The cross-process lock, made at its first use; kept for the process's life.
HANDLE lockMutex;

// Holds the device manager's cross-process lock for one call.
class DeviceManagerLock {
public:
    DeviceManagerLock()
    {
        if (!lockMutex)
            lockMutex = CreateMutexW(nullptr, FALSE, kLockName);
        HANDLE mutex = lockMutex;
        DWORD rc = mutex ? WaitForSingleObject(mutex, kLockLimit) : WAIT_FAILED;
        if (rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED)
            held = mutex;
    }
    ~DeviceManagerLock()
    {
        if (held)
            ReleaseMutex(held);
    }
    DeviceManagerLock(const DeviceManagerLock &) = delete;
    DeviceManagerLock &operator=(const DeviceManagerLock &) = delete;
    bool Held() const { return held != nullptr; }

private:
    HANDLE held = nullptr;
};

// Whether the driver behind an open handle is still loaded: its active entry
// was deleted when it was unloaded, even if a new one has the same number.
bool StillActive(const OpenDevice &device)
{
    DWORD hnd = 0, size = sizeof(hnd);
    return RegQueryValueExW(device.activeEntry, L"Hnd", nullptr, nullptr, reinterpret_cast<BYTE *>(&hnd), &size)
           == ERROR_SUCCESS;
}

void EnsureActiveRoot()
{
    // "Drivers" stays stable (the built-in keys live there); only the active
    // entries are volatile and vanish with the device's uptime.
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Drivers", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
        == ERROR_SUCCESS)
        RegCloseKey(key);
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kActiveRoot, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr)
        == ERROR_SUCCESS)
        RegCloseKey(key);
}

HANDLE Activate(LPCWSTR path)
{
    wchar_t dll[MAX_PATH], prefix[8], name[16];
    DWORD index = 0;
    if (!path || !ReadBuiltInKey(path, dll, prefix, &index)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    StringCchPrintfW(name, ARRAYSIZE(name), L"%s%lu:", prefix, index);
    // The name's check and its entry are one step for all processes.
    DeviceManagerLock lock;
    if (!lock.Held()) {
        SetLastError(ERROR_TIMEOUT);
        return nullptr;
    }
    if (FindActiveByName(name, nullptr, 0)) {
        SetLastError(ERROR_DEVICE_IN_USE);
        return nullptr;
    }
    Driver *driver = LoadDriver(dll, prefix);
    if (!driver) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }

    EnsureActiveRoot();
    for (int n = 1; n <= kMaxActive; ++n) {
        wchar_t entry[64];
        HKEY key;
        DWORD disposition = 0;
        ActiveKeyPath(n, entry, ARRAYSIZE(entry));
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, entry, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                            &disposition)
            != ERROR_SUCCESS)
            continue;
        if (disposition != REG_CREATED_NEW_KEY) {
            RegCloseKey(key);
            continue;
        }
        DWORD hnd = kHandleBase + n;
        RegSetValueExW(key, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE *>(name),
                       (lstrlenW(name) + 1) * sizeof(wchar_t));
        RegSetValueExW(key, L"Hnd", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&hnd), sizeof(hnd));
        RegSetValueExW(key, L"Key", 0, REG_SZ, reinterpret_cast<const BYTE *>(path),
                       (lstrlenW(path) + 1) * sizeof(wchar_t));
        RegCloseKey(key);

        wchar_t activeKey[80];
        StringCchPrintfW(activeKey, ARRAYSIZE(activeKey), L"\\%s", entry);
        driver->deviceContext = driver->init(activeKey, nullptr);
        if (!driver->deviceContext) {
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, entry);
            SetLastError(ERROR_GEN_FAILURE);
            return nullptr;
        }
        return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(hnd));
    }
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return nullptr;
}

BOOL Deactivate(HANDLE handle)
{
    wchar_t builtInKey[MAX_PATH] = {}, dll[MAX_PATH], prefix[8];
    DWORD hnd = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(handle));
    DeviceManagerLock lock;
    if (!lock.Held()) {
        SetLastError(ERROR_TIMEOUT);
        return FALSE;
    }
    int n = hnd ? FindActiveByHandle(hnd, builtInKey, ARRAYSIZE(builtInKey)) : 0;
    if (!n) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // The entry goes first: handles open on the device, in any process, then
    // reach no driver, so that no call of theirs lands after its Deinit.
    wchar_t entry[64];
    ActiveKeyPath(n, entry, ARRAYSIZE(entry));
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, entry);
    if (ReadBuiltInKey(builtInKey, dll, prefix, nullptr)) {
        if (Driver *driver = LoadDriver(dll, prefix)) {
            driver->deinit(driver->deviceContext);
            driver->deviceContext = 0;
        }
    }
    return TRUE;
}

HANDLE OpenStreamDevice(LPCWSTR name, DWORD access, DWORD share)
{
    wchar_t builtInKey[MAX_PATH] = {}, dll[MAX_PATH], prefix[8], entry[64];
    DeviceManagerLock lock;
    if (!lock.Held()) {
        SetLastError(ERROR_TIMEOUT);
        return INVALID_HANDLE_VALUE;
    }
    int n = FindActiveByName(name, builtInKey, ARRAYSIZE(builtInKey));
    HKEY activeEntry = nullptr;
    if (n)
        ActiveKeyPath(n, entry, ARRAYSIZE(entry));
    if (!n || !ReadBuiltInKey(builtInKey, dll, prefix, nullptr)
        || RegOpenKeyExW(HKEY_LOCAL_MACHINE, entry, 0, KEY_READ, &activeEntry) != ERROR_SUCCESS) {
        SetLastError(ERROR_DEV_NOT_EXIST);
        return INVALID_HANDLE_VALUE;
    }
    Driver *driver = LoadDriver(dll, prefix);
    OpenDevice *slot = nullptr;
    for (OpenDevice &d : devices)
        if (!d.handle) {
            slot = &d;
            break;
        }
    DWORD_PTR context = driver && slot ? driver->open(driver->deviceContext, access, share) : 0;
    if (!context) {
        RegCloseKey(activeEntry);
        SetLastError(ERROR_GEN_FAILURE);
        return INVALID_HANDLE_VALUE;
    }
    slot->handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    slot->driver = driver;
    slot->openContext = context;
    slot->activeEntry = activeEntry;
    StringCchCopyW(slot->name, ARRAYSIZE(slot->name), name);
    return slot->handle;
}

}  // namespace

void CeSetIoControlHook(CeIoControlHook hook) { ioControlHook = hook; }

void CeSetActivateFailure(HANDLE failure) { activateFailure = failure; }

extern "C" {

HANDLE WINAPI ActivateDevice(LPCWSTR path, DWORD clientInfo)
{
    HANDLE h = Activate(path);
    if (!h)
        h = activateFailure;
    if (CeJournalOn())
        CeJournalRecord(L"ActivateDevice", path ? path : L"", nullptr, clientInfo, 0, nullptr,
                        reinterpret_cast<LONG_PTR>(h));
    return h;
}

BOOL WINAPI DeactivateDevice(HANDLE handle)
{
    BOOL ok = Deactivate(handle);
    if (CeJournalOn())
        CeJournalRecord(L"DeactivateDevice", L"", nullptr, 0, 0, nullptr, ok);
    return ok;
}

HANDLE WINAPI CeCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD disposition,
                            DWORD flags, HANDLE templateFile)
{
    if (!IsDeviceName(name))
        return CreateFileW(name, access, share, sa, disposition, flags, templateFile);
    HANDLE h = OpenStreamDevice(name, access, share);
    if (CeJournalOn())
        CeJournalRecord(L"CreateFileW", name, nullptr, access, share, nullptr, reinterpret_cast<LONG_PTR>(h));
    return h;
}

BOOL WINAPI CeDeviceIoControl(HANDLE handle, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                              LPDWORD returned, LPOVERLAPPED overlapped)
{
    OpenDevice *device = FindDevice(handle);
    if (!device && handle != INVALID_HANDLE_VALUE)
        return DeviceIoControl(handle, code, in, inSize, out, outSize, returned, overlapped);
    BOOL ok = FALSE;
    if (device && !StillActive(*device)) {
        // The driver was unloaded under this handle: it answers nothing more.
        SetLastError(ERROR_DEVICE_REMOVED);
    } else if (device) {
        DWORD actual = 0;
        ok = device->driver->ioControl(device->openContext, code, static_cast<PBYTE>(in), inSize,
                                       static_cast<PBYTE>(out), outSize, &actual);
        if (returned)
            *returned = actual;
        if (ioControlHook)
            ioControlHook(code, in, out);
    } else {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    if (CeJournalOn())
        CeJournalRecord(L"DeviceIoControl", device ? device->name : L"", nullptr, code, inSize, in, ok);
    return ok;
}

BOOL WINAPI CeCloseHandle(HANDLE handle)
{
    OpenDevice *device = FindDevice(handle);
    if (handle == INVALID_HANDLE_VALUE) {
        // Not a handle on CE; journaled so that a stray close shows.
        if (CeJournalOn())
            CeJournalRecord(L"CloseHandle", L"", nullptr, 0, 0, nullptr, FALSE);
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!device)
        return CloseHandle(handle);
    BOOL ok = device->driver->close(device->openContext);
    if (CeJournalOn())
        CeJournalRecord(L"CloseHandle", device->name, nullptr, 0, 0, nullptr, ok);
    CloseHandle(device->handle);
    RegCloseKey(device->activeEntry);
    *device = OpenDevice{};
    return ok;
}

}  // extern "C"
