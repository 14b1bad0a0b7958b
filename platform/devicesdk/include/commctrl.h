/* commctrl.h: the toolbar messages the command bar takes. */
#ifndef DEVICESDK_COMMCTRL_H
#define DEVICESDK_COMMCTRL_H

#include <windows.h>

#define TBSTATE_ENABLED 0x04
#define TBSTYLE_BUTTON 0x0000
#define TBSTYLE_DROPDOWN 0x0008
#define TBSTYLE_AUTOSIZE 0x0010
/* A command bar button without an image (reference page TBBUTTON). */
#define I_IMAGENONE (-2)

#ifndef RC_INVOKED
#define WM_USER 0x0400

/* TBBUTTON (commctrl.h; reference page TBBUTTON) */
typedef struct _TBBUTTON {
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[2];
    DWORD dwData;
    int iString;
} TBBUTTON, *PTBBUTTON, *LPTBBUTTON;

/* Toolbar messages (commctrl.h), which takes _WIN32_IE as 0x0400 unless the
   project sets it: from 0x0300 TB_SETBUTTONWIDTH, from 0x0400 TB_ADDBUTTONS
   as the Unicode form. */
#ifndef _WIN32_IE
#define _WIN32_IE 0x0400
#endif
#define TB_SETBITMAPSIZE (WM_USER + 32)
#define TB_ADDSTRINGW (WM_USER + 77)
#define TB_ADDSTRING TB_ADDSTRINGW
#if _WIN32_IE >= 0x0300
#define TB_SETBUTTONWIDTH (WM_USER + 59)
#endif
#if _WIN32_IE >= 0x0400
#define TB_ADDBUTTONSW (WM_USER + 68)
#define TB_ADDBUTTONS TB_ADDBUTTONSW
#else
#define TB_ADDBUTTONS (WM_USER + 20)
#endif

#endif /* RC_INVOKED */

#endif
