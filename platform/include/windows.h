/*
 * windows.h as a Windows CE program sees it, on desktop Win32.
 *
 * The desktop header comes first; then the names of CE's windows.h that
 * desktop Win32 lacks, from the device's SDK surface, which declares each
 * once; then the calls that behave differently on CE are routed to the
 * stand-ins in platform/cecore. System sources include this header first, so
 * they keep the CE calls exactly as written (platform/README.md).
 */
#ifndef CEPLATFORM_WINDOWS_H
#define CEPLATFORM_WINDOWS_H

/* The platform's own header, as the SDK's are: not held to the programs'
   language level. */
#pragma GCC system_header

#include_next <windows.h>
#define DEVICESDK_CE_NAMES_ONLY
#include "../devicesdk/include/windows.h"
#undef DEVICESDK_CE_NAMES_ONLY
#include "cecore.h"

/* Unrouted for the stand-ins themselves (CEPLATFORM_STANDIN, set for all of
   platform/) and for a caller that wants desktop Win32's own calls
   (CEPLATFORM_WIN32_CALLS), such as test support that works behind the
   journal. */
#if !defined(CEPLATFORM_STANDIN) && !defined(CEPLATFORM_WIN32_CALLS)
/* Registry: access mask 0 is full access; RegDeleteKeyW removes the subtree. */
#define RegOpenKeyExW CeRegOpenKeyExW
#define RegCreateKeyExW CeRegCreateKeyExW
#define RegQueryValueExW CeRegQueryValueExW
#define RegSetValueExW CeRegSetValueExW
#define RegFlushKey CeRegFlushKey
#define RegCloseKey CeRegCloseKey
#define RegDeleteKeyW CeRegDeleteKeyW
/* Stream devices ("XXXn:") go to the device manager, the rest to Win32. */
#define CreateFileW CeCreateFileW
#define DeviceIoControl CeDeviceIoControl
#define CloseHandle CeCloseHandle
/* An application name without extension finds NAME.exe; OpenProcess ignores
   the access asked for, as CE does (it takes 0). */
#define CreateProcessW CeCreateProcessW
#define OpenProcess CeOpenProcess
/* Hiding the foreground window activates the next one; WS_EX_CAPTIONOKBTN. */
#define SetWindowPos CeSetWindowPos
#define CreateWindowExW CeCreateWindowExW
/* Message boxes as the device lays them out: within the work area. */
#define MessageBoxW CeMessageBoxW
/* The device's entry takes its command line in UTF-16: the desktop's wWinMain
   (programs link with -municode). */
#define WinMain wWinMain
/* The device declares the library entry with its instance as a HANDLE, with
   C linkage, which is what the desktop's start-up code calls too. */
#ifdef __cplusplus
extern "C" {
#endif
BOOL WINAPI DllMain(HANDLE hinstDLL, DWORD dwReason, LPVOID lpvReserved);
#ifdef __cplusplus
}
#endif
#endif

/* The device's programs (CEPLATFORM_DEVICE_SOURCE) see the platform's names.
   The other desktop headers they include are read here first; then the
   stand-ins' own names are poisoned, so that a shipped source never calls a
   stand-in directly. Which platform names the device lacks is checked apart,
   against the device's SDK surface (platform/devicesdk, test_device_sdk). */
#if defined(CEPLATFORM_DEVICE_SOURCE) && !defined(CEPLATFORM_STANDIN) && !defined(RC_INVOKED)
#include <winioctl.h>
#include <commctrl.h>
#include <shlobj.h>
#pragma GCC poison CeRegOpenKeyExW CeRegCreateKeyExW CeRegQueryValueExW CeRegSetValueExW CeRegFlushKey
#pragma GCC poison CeRegCloseKey CeRegDeleteKeyW CeCreateFileW CeDeviceIoControl CeCloseHandle CeCreateProcessW
#pragma GCC poison CeSetWindowPos CeCreateWindowExW CeAddCaptionOkButton CeMessageBoxW CeOpenProcess
#endif

#endif
