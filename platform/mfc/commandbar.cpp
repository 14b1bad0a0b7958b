// The command bar as a desktop toolbar at the top of its window.
#include "afxext.h"

BOOL CCeCommandBar::Create(CWnd *pParentWnd, DWORD dwStyle, UINT nID)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    DWORD style = (dwStyle & ~CBRS_TOP) | CCS_TOP | TBSTYLE_FLAT | TBSTYLE_LIST;
    HWND hWnd = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 0, 0, pParentWnd->m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), AfxGetInstanceHandle(), nullptr);
    if (!hWnd)
        return FALSE;
    Attach(hWnd);
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    MakeRoom();
    return TRUE;
}

BOOL CCeCommandBar::AddAdornments(DWORD dwFlags)
{
    if (!m_hWnd)
        return FALSE;
    // A dialog turns WM_CLOSE into IDCANCEL; the close button sends that.
    static wchar_t closeText[] = L"X\0";
    int text = static_cast<int>(SendMessage(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(closeText)));
    TBBUTTON buttons[2] = {};
    buttons[0].iBitmap = 8;
    buttons[0].fsStyle = BTNS_SEP;
    buttons[1].iBitmap = -1;
    buttons[1].idCommand = IDCANCEL;
    buttons[1].fsState = TBSTATE_ENABLED;
    buttons[1].fsStyle = BTNS_BUTTON;
    buttons[1].iString = text;
    SendMessage(TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
    MakeRoom();
    return TRUE;
}

void CCeCommandBar::MakeRoom()
{
    SendMessage(TB_AUTOSIZE);
    RECT bar;
    GetWindowRect(m_hWnd, &bar);
    int height = bar.bottom - bar.top;
    int shift = height - m_nRoom;
    if (!shift)
        return;
    HWND parent = GetParent(m_hWnd);
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child == m_hWnd)
            continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT *>(&r), 2);
        SetWindowPos(child, nullptr, r.left, r.top + shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame;
    GetWindowRect(parent, &frame);
    SetWindowPos(parent, nullptr, frame.left, frame.top - shift / 2, frame.right - frame.left,
                 frame.bottom - frame.top + shift, SWP_NOZORDER | SWP_NOACTIVATE);
    m_nRoom = height;
}
