/* winuser.h as the resource compiler reads it (windows.h reads it too, and
   the device projects' newres.h): the styles, ids and notification codes the
   programs and their resource scripts use. Values from the reference pages
   of CreateWindow, the dialog box styles and each control's styles and
   notifications. The platform's own name stands first: the desktop build
   reads it alone (DEVICESDK_CE_NAMES_ONLY, platform/README.md). */
#ifndef DEVICESDK_WINUSER_RC_H
#define DEVICESDK_WINUSER_RC_H

/* WS_EX_CAPTIONOKBTN (reference page Window Styles): CE's caption OK button. */
#define WS_EX_CAPTIONOKBTN 0x80000000L

#ifndef DEVICESDK_CE_NAMES_ONLY
/* Window styles (reference page Window Styles) */
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_VSCROLL 0x00200000L
#define WS_SYSMENU 0x00080000L
#define WS_TABSTOP 0x00010000L

/* Dialog box styles (reference page Dialog Box Styles) */
#define DS_MODALFRAME 0x80L
#define DS_SETFONT 0x40L
#define DS_CENTER 0x0800L

/* Button, edit, static and combo box styles (their reference pages) */
#define BS_PUSHBUTTON 0x00000000L
#define BS_CHECKBOX 0x00000002L
#define BS_CENTER 0x00000300L
#define ES_MULTILINE 0x0004L
#define ES_AUTOHSCROLL 0x0080L
#define ES_WANTRETURN 0x1000L
#define SS_BITMAP 0x0000000EL
#define CBS_DROPDOWNLIST 0x0003L

#define IDOK 1
#define IDCANCEL 2

/* BN_CLICKED, CBN_SELCHANGE (reference pages of the notifications) */
#define BN_CLICKED 0
#define CBN_SELCHANGE 1

/* Languages (winnt.h) */
#define LANG_ENGLISH 0x09
#define SUBLANG_ENGLISH_US 0x01

#endif /* DEVICESDK_CE_NAMES_ONLY */
#endif
