/*
 * windows.h as a Windows CE program sees it, on desktop Win32.
 *
 * The desktop header comes first; then the CE calls that desktop Win32 lacks
 * are declared, and the calls that behave differently on CE are routed to the
 * stand-ins in platform/cecore. System sources include this header first, so
 * they keep the CE calls exactly as written.
 */
#ifndef CEPLATFORM_WINDOWS_H
#define CEPLATFORM_WINDOWS_H

/* The platform's own header, as the SDK's are: not held to the programs'
   language level. */
#pragma GCC system_header

#include_next <windows.h>
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
/* An application name without extension finds NAME.exe. */
#define CreateProcessW CeCreateProcessW
/* Hiding the foreground window activates the next one; WS_EX_CAPTIONOKBTN. */
#define SetWindowPos CeSetWindowPos
#define CreateWindowExW CeCreateWindowExW
/* The device's entry takes its command line in UTF-16: the desktop's wWinMain
   (programs link with -municode). */
#define WinMain wWinMain
#endif

/* The device's programs (CEPLATFORM_DEVICE_SOURCE) see the platform's names
   only. The other desktop headers they include are read here first; then the
   stand-ins' own names and the desktop names that the device's SDK lacks are
   poisoned, so that a source using one fails to compile here as it would
   there. The list is the names a Windows programmer reaches for by habit (the
   ANSI calls, the registry's older and newer calls, the desktop shell's
   folders), not the whole desktop API. */
#if defined(CEPLATFORM_DEVICE_SOURCE) && !defined(CEPLATFORM_STANDIN) && !defined(RC_INVOKED)
#include <winioctl.h>
#include <commctrl.h>
#include <shlobj.h>
/* Without it strsafe.h would take wsprintfW away, which the device has. */
#ifndef STRSAFE_NO_DEPRECATE
#define STRSAFE_NO_DEPRECATE
#endif
#include <strsafe.h>
#pragma GCC poison CeRegOpenKeyExW CeRegCreateKeyExW CeRegQueryValueExW CeRegSetValueExW CeRegFlushKey
#pragma GCC poison CeRegCloseKey CeRegDeleteKeyW CeCreateFileW CeDeviceIoControl CeCloseHandle CeCreateProcessW
#pragma GCC poison CeSetWindowPos CeCreateWindowExW CeAddCaptionOkButton
#pragma GCC poison MessageBoxA CreateFileA CreateProcessA CreateMutexA DeleteFileA GetModuleHandleA
#pragma GCC poison RegOpenKeyExA RegCreateKeyExA RegQueryValueExA RegSetValueExA RegDeleteKeyA
#pragma GCC poison LoadStringA LoadIconA LoadBitmapA FindResourceA FindWindowA wsprintfA
#pragma GCC poison RegisterClassA RegisterClassExA RegisterClassExW CreateWindowExA DefWindowProcA
#pragma GCC poison GetMessageA DispatchMessageA SendMessageA PostMessageA SetWindowTextA GetWindowTextA
#pragma GCC poison SetDlgItemTextA GetDlgItemTextA DialogBoxParamA DialogBoxIndirectParamA
#pragma GCC poison CreateDialogParamA CreateDialogIndirectParamA
#pragma GCC poison RegOpenKeyW RegCreateKeyW RegQueryValueW RegSetValueW RegDeleteKeyExW RegDeleteTreeW
#pragma GCC poison RegGetValueW RegSetKeyValueW
#pragma GCC poison SHGetFolderPathW SHGetFolderPathA SHGetSpecialFolderPathA GetTickCount64
#endif

#endif
