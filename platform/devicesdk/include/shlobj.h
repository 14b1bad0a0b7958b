/* shlobj.h: the shell's special folders. */
#ifndef DEVICESDK_SHLOBJ_H
#define DEVICESDK_SHLOBJ_H

#include <windows.h>

/* CSIDL_PROGRAMS, CSIDL_STARTMENU (shlobj.h; reference page
   SHGetSpecialFolderPath) */
#define CSIDL_PROGRAMS 0x0002
#define CSIDL_STARTMENU 0x000b

#ifdef __cplusplus
extern "C" {
#endif

/* SHGetSpecialFolderPath (shlobj.h): the CE name, Unicode only, no W suffix. */
BOOL WINAPI SHGetSpecialFolderPath(HWND hwndOwner, LPWSTR lpszPath, int nFolder, BOOL fCreate);

#ifdef __cplusplus
}
#endif

#endif
