/*
 * The CE application installer's setup-hook interface: the four functions a
 * package's setup library exports, their result codes, and the names the
 * installer finds them by.
 */
#ifndef CEPLATFORM_CE_SETUP_H
#define CEPLATFORM_CE_SETUP_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    codINSTALL_INIT_CONTINUE = 0, /* go on with the installation */
    codINSTALL_INIT_CANCEL        /* do not install */
} codINSTALL_INIT;

typedef enum {
    codINSTALL_EXIT_DONE = 0, /* installation done */
    codINSTALL_EXIT_UNINSTALL /* undo the installation */
} codINSTALL_EXIT;

typedef enum {
    codUNINSTALL_INIT_CONTINUE = 0, /* go on with the removal */
    codUNINSTALL_INIT_CANCEL        /* do not remove */
} codUNINSTALL_INIT;

typedef enum {
    codUNINSTALL_EXIT_DONE = 0 /* removal done */
} codUNINSTALL_EXIT;

#ifndef SETUP_API
#define SETUP_API __declspec(dllexport)
#endif

SETUP_API codINSTALL_INIT Install_Init(HWND hwndParent, BOOL fFirstCall, BOOL fPreviouslyInstalled,
                                       LPCTSTR pszInstallDir);
SETUP_API codINSTALL_EXIT Install_Exit(HWND hwndParent, LPCTSTR pszInstallDir, WORD cFailedDirs, WORD cFailedFiles,
                                       WORD cFailedRegKeys, WORD cFailedRegVals, WORD cFailedShortcuts);
SETUP_API codUNINSTALL_INIT Uninstall_Init(HWND hwndParent, LPCTSTR pszInstallDir);
SETUP_API codUNINSTALL_EXIT Uninstall_Exit(HWND hwndParent);

typedef codINSTALL_INIT (*pfnINSTALL_INIT)(HWND, BOOL, BOOL, LPCTSTR);
typedef codINSTALL_EXIT (*pfnINSTALL_EXIT)(HWND, LPCTSTR, WORD, WORD, WORD, WORD, WORD);
typedef codUNINSTALL_INIT (*pfnUNINSTALL_INIT)(HWND, LPCTSTR);
typedef codUNINSTALL_EXIT (*pfnUNINSTALL_EXIT)(HWND);

#define szINSTALL_INIT "Install_Init"
#define szINSTALL_EXIT "Install_Exit"
#define szUNINSTALL_INIT "Uninstall_Init"
#define szUNINSTALL_EXIT "Uninstall_Exit"

#ifdef __cplusplus
}
#endif

#endif
