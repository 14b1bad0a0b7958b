/* afxext.h of the dialog framework (mfcce300): the CE command bar. */
#ifndef DEVICESDK_AFXEXT_H
#define DEVICESDK_AFXEXT_H

#include "afxwin.h"
#include <commctrl.h>

/* CBRS_TOP (afxres.h): aligned to the top, with a border below. */
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)

/* CControlBar, CToolBar: the command bar's bases. Its Create(this) is the
   toolbar's, at the top; a Pocket PC build of the framework
   (_WIN32_WCE_PSPC) gives the command bar a Create of its own, also at the
   top, which hides the toolbar's (there at the bottom). */
class CControlBar : public CWnd {};

class CToolBar : public CControlBar {
public:
    CToolBar();
#if !defined(_WIN32_WCE_PSPC)
    BOOL Create(CWnd *pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
#endif
};

/* CCeCommandBar (reference page CCeCommandBar) */
class CCeCommandBar : public CToolBar {
public:
    CCeCommandBar();
#if defined(_WIN32_WCE_PSPC)
    BOOL Create(CWnd *pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
#endif
    BOOL AddAdornments(DWORD dwFlags = 0);
};

#endif
