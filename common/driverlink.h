// The driver link: makes sure the keyboard driver is loaded and opens its device.
#ifndef COMMON_DRIVERLINK_H
#define COMMON_DRIVERLINK_H

#include <windows.h>
#include "registrynames.h"  // kBuiltInKeyPath, kKeyboardDeviceName

// Program-wide state, written only by the link.
extern HANDLE deviceHandle;      // INVALID_HANDLE_VALUE while the device is not open
extern HANDLE activationHandle;  // result of the last ActivateDevice, 0 on failure
extern HKEY builtInKey;          // the built-in key while it is opened or written

// How OpenKeyboardDevice brings the driver up when the first open fails.
enum DriverBringUp {
    BRINGUP_ENSURE_ACTIVE,  // control panel: EnsureDriverActive, writing the key if needed
    BRINGUP_ACTIVATE_ONCE   // palette: one ActivateDevice, result dropped, no registry access
};

HANDLE EnsureDriverActive();
void WriteBuiltInKey();
HANDLE OpenKeyboardDevice(DriverBringUp bringUp);

#endif
