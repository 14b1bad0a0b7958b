/*
 * aygshell.h as a Pocket PC program sees it: the shell's menu bar and dialog
 * set-up, stood in on desktop Win32 by platform/aygshell.
 */
#ifndef CEPLATFORM_AYGSHELL_H
#define CEPLATFORM_AYGSHELL_H

#include <windows.h>

/* A menu-bar button that opens no pop-up. The description itself (newres.h's
 * SHMENUBAR) is raw data: the menu's id and the number of buttons, then seven
 * words per button: image, command, state, style, string id, 0, and the index
 * of the menu's pop-up it opens (or NOMENU). */
#define NOMENU 0xFFFF

/* SHInitDialog */
#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020

#ifndef RC_INVOKED

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tagSHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB; /* out: the menu bar */
    COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;

typedef struct tagSHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO *pmbi);
BOOL WINAPI SHInitDialog(PSHINITDLGINFO pshidi);

#ifdef __cplusplus
}
#endif

#endif /* RC_INVOKED */

#endif
