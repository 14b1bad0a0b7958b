/*
 * Framework extensions: the command bar at the top of a window. On the device
 * it holds buttons and the window's adornments. Here it is a small bar that
 * takes the toolbar messages (commctrl.h gives their names only), and the
 * window is made taller so the bar covers none of its controls.
 */
#ifndef CEPLATFORM_AFXEXT_H
#define CEPLATFORM_AFXEXT_H

#include "afxwin.h"
#include <commctrl.h>

// Aligned to the top, with a border below (afxres.h).
#define CBRS_TOP (0x2000L | 0x0800L)

class CCeCommandBar : public CWnd {
public:
    CCeCommandBar() : m_nRoom(0) {}
    BOOL Create(CWnd *pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    // The close button (the only adornment without optional flags); it
    // closes the window as its caption's close box would.
    BOOL AddAdornments(DWORD dwFlags = 0);

private:
    void MakeRoom();
    int m_nRoom;  // pixels the parent's controls were moved down
};

#endif
