// The command bar as the framework's Pocket PC build makes it. A Pocket PC
// program runs on that build, whose CCeCommandBar::Create makes the shell's
// menu bar (SHCreateMenuBar) for the window and takes the bar's handle as its
// own: the buttons and strings the program adds go to that bar, along the
// bottom of the screen, and take no room in the window. Its AddAdornments
// adds nothing there: the navigation bar's "ok" closes the window.
//
// That build makes the bar from a scratch description whose one button it
// deletes at once; an empty bar (SHCMBF_EMPTYBAR) is the same bar.
#include "afxext.h"
#include <aygshell.h>

BOOL CCeCommandBar::Create(CWnd *pParentWnd, DWORD dwStyle, UINT nID)
{
    SHMENUBARINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.hwndParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    info.dwFlags = SHCMBF_EMPTYBAR;
    if (!SHCreateMenuBar(&info) || !info.hwndMB)
        return FALSE;
    Attach(info.hwndMB);
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CCeCommandBar::AddAdornments(DWORD dwFlags) { return TRUE; }
