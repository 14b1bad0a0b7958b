/* ce_setup.h: the installer's setup-hook interface (reference pages
   Install_Init, Install_Exit, Uninstall_Init, Uninstall_Exit; the header
   comes with the Pocket PC SDKs): the four functions a package's setup
   library exports, their result codes, and the types and names the installer
   finds them by. */
#ifndef DEVICESDK_CE_SETUP_H
#define DEVICESDK_CE_SETUP_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum { codeINSTALL_INIT_CONTINUE = 0, codeINSTALL_INIT_CANCEL } codeINSTALL_INIT;
codeINSTALL_INIT Install_Init(HWND hwndParent, BOOL fFirstCall, BOOL fPreviouslyInstalled, LPCTSTR pszInstallDir);
typedef codeINSTALL_INIT (*pfnINSTALL_INIT)(HWND, BOOL, BOOL, LPCTSTR);
const TCHAR szINSTALL_INIT[] = TEXT("Install_Init");

typedef enum { codeINSTALL_EXIT_DONE = 0, codeINSTALL_EXIT_UNINSTALL } codeINSTALL_EXIT;
codeINSTALL_EXIT Install_Exit(HWND hwndParent, LPCTSTR pszInstallDir, WORD cFailedDirs, WORD cFailedFiles,
                              WORD cFailedRegKeys, WORD cFailedRegVals, WORD cFailedShortcuts);
typedef codeINSTALL_EXIT (*pfnINSTALL_EXIT)(HWND, LPCTSTR, WORD, WORD, WORD, WORD, WORD);
const TCHAR szINSTALL_EXIT[] = TEXT("Install_Exit");

typedef enum { codeUNINSTALL_INIT_CONTINUE = 0, codeUNINSTALL_INIT_CANCEL } codeUNINSTALL_INIT;
codeUNINSTALL_INIT Uninstall_Init(HWND hwndParent, LPCTSTR pszInstallDir);
typedef codeUNINSTALL_INIT (*pfnUNINSTALL_INIT)(HWND, LPCTSTR);
const TCHAR szUNINSTALL_INIT[] = TEXT("Uninstall_Init");

typedef enum { codeUNINSTALL_EXIT_DONE = 0 } codeUNINSTALL_EXIT;
codeUNINSTALL_EXIT Uninstall_Exit(HWND hwndParent);
typedef codeUNINSTALL_EXIT (*pfnUNINSTALL_EXIT)(HWND);
const TCHAR szUNINSTALL_EXIT[] = TEXT("Uninstall_Exit");

#ifdef __cplusplus
}
#endif

#endif
