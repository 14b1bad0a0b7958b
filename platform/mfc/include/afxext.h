/*
 * Framework extensions: the command bar. On a Pocket PC it is the shell's menu
 * bar along the bottom of the screen, which takes the toolbar messages
 * (commctrl.h gives their names); platform/mfc/commandbar.cpp says more.
 */
#ifndef CEPLATFORM_AFXEXT_H
#define CEPLATFORM_AFXEXT_H

#include "afxwin.h"
#include <commctrl.h>

class CCeCommandBar : public CWnd {
public:
    CCeCommandBar() {}
    // The style and the child id serve the bar of other builds.
    BOOL Create(CWnd *pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    // Nothing on a Pocket PC.
    BOOL AddAdornments(DWORD dwFlags = 0);
};

#endif
