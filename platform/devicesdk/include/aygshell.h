/* aygshell.h of the Pocket PC shell: the menu bar and full-screen dialogs,
   as the programs and the shell's stand-in (platform/aygshell) use them. */
#ifndef DEVICESDK_AYGSHELL_H
#define DEVICESDK_AYGSHELL_H

#include <windows.h>

/* A menu bar button that opens no menu (reference page SHMENUBARINFO). */
#define NOMENU 0xFFFF

#ifndef RC_INVOKED
/* SHInitDialog (aygshell.h; reference pages SHInitDialog, SHINITDLGINFO) */
#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tagSHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

/* SHCreateMenuBar (aygshell.h; reference pages SHCreateMenuBar,
   SHMENUBARINFO; clrBk from Pocket PC 2002); SHCMBF_EMPTYBAR makes a bar for
   the buttons a program adds. */
#define SHCMBF_EMPTYBAR 0x0001

typedef struct tagSHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;

BOOL WINAPI SHInitDialog(PSHINITDLGINFO pshidi);
BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO *pmbi);

#ifdef __cplusplus
}
#endif

#endif /* RC_INVOKED */

#endif
