/* afxext.h of the dialog framework (mfcce300): the CE command bar. */
#ifndef DEVICESDK_AFXEXT_H
#define DEVICESDK_AFXEXT_H

#include "afxwin.h"
#include <commctrl.h>

#define CBRS_TOP 0x1000L

/* CCeCommandBar (reference page CCeCommandBar) */
class CCeCommandBar : public CWnd {
public:
    CCeCommandBar();
    BOOL Create(CWnd *pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    BOOL AddAdornments(DWORD dwFlags = 0);
};

#endif
