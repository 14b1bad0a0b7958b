// The command bar: a strip at the top of its window with text buttons, driven
// by the toolbar messages that CE's command bar takes.
//
// Desktop Win32's toolbar would do, but it lives in comctl32, whose loading and
// set-up cost the control panel some 15 ms of every start for two text
// buttons. This bar answers only the messages below and draws flat buttons in
// its window's font; a button sends WM_COMMAND to the parent, as a toolbar's does.
#include "afxext.h"
#include <stdlib.h>
#include <string.h>

namespace {

const wchar_t kBarClass[] = L"CeCommandBar";
const int kMaxButtons = 8;
const int kMaxStrings = 8;
const int kStringUnits = 64;
const int kBarHeight = 24;
const int kButtonTop = 2;
const int kButtonHeight = 20;
const int kButtonPadding = 6;  // pixels each side of a button's text
const int kFirstButtonX = 2;

struct BarState {
    TBBUTTON buttons[kMaxButtons];
    int buttonCount;
    wchar_t strings[kMaxStrings][kStringUnits];
    int stringCount;
    int minWidth, maxWidth;  // TB_SETBUTTONWIDTH, pixels
    int pressed;             // index of the button held down, or -1
};

BarState *StateOf(HWND bar) { return reinterpret_cast<BarState *>(GetWindowLongPtrW(bar, GWLP_USERDATA)); }

const wchar_t *ButtonText(const BarState &state, const TBBUTTON &button)
{
    INT_PTR i = button.iString;
    return i >= 0 && i < state.stringCount ? state.strings[i] : L"";
}

HFONT BarFont(HWND bar)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(bar), WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The places of all the buttons in the bar's client area, measured in one pass.
void LayOutButtons(HWND bar, const BarState &state, RECT *rects)
{
    HDC dc = GetDC(bar);
    HGDIOBJ old = SelectObject(dc, BarFont(bar));
    RECT r = {kFirstButtonX, kButtonTop, kFirstButtonX, kButtonTop + kButtonHeight};
    for (int i = 0; i < state.buttonCount; ++i) {
        const TBBUTTON &b = state.buttons[i];
        r.left = r.right;
        if (b.fsStyle & BTNS_SEP) {
            r.right = r.left + (b.iBitmap > 0 ? b.iBitmap : 8);
        } else {
            const wchar_t *text = ButtonText(state, b);
            SIZE extent = {};
            GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
            int width = extent.cx + 2 * kButtonPadding;
            width = width < state.minWidth ? state.minWidth : width;
            width = width > state.maxWidth ? state.maxWidth : width;
            r.right = r.left + width;
        }
        rects[i] = r;
    }
    SelectObject(dc, old);
    ReleaseDC(bar, dc);
}

int ButtonAt(HWND bar, const BarState &state, LPARAM at)
{
    RECT rects[kMaxButtons];
    LayOutButtons(bar, state, rects);
    POINT p = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    for (int i = 0; i < state.buttonCount; ++i)
        if (!(state.buttons[i].fsStyle & BTNS_SEP) && PtInRect(&rects[i], p))
            return i;
    return -1;
}

int IndexOfCommand(const BarState &state, WPARAM command)
{
    for (int i = 0; i < state.buttonCount; ++i)
        if (!(state.buttons[i].fsStyle & BTNS_SEP) && state.buttons[i].idCommand == static_cast<int>(command))
            return i;
    return -1;
}

// A run of strings ended by an empty one; the index of the first, or -1.
LRESULT AddStrings(BarState *state, const wchar_t *list)
{
    if (!list || !*list || state->stringCount == kMaxStrings)
        return -1;
    LRESULT first = state->stringCount;
    for (; *list && state->stringCount < kMaxStrings; list += lstrlenW(list) + 1)
        lstrcpynW(state->strings[state->stringCount++], list, kStringUnits);
    return first;
}

BOOL AddButtons(HWND bar, BarState *state, WPARAM count, const TBBUTTON *buttons)
{
    if (!buttons || count > WPARAM(kMaxButtons - state->buttonCount))
        return FALSE;
    for (WPARAM i = 0; i < count; ++i)
        state->buttons[state->buttonCount++] = buttons[i];
    InvalidateRect(bar, nullptr, TRUE);
    return TRUE;
}

void Paint(HWND bar, const BarState &state)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(bar, &ps);
    RECT client;
    GetClientRect(bar, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(dc, BarFont(bar));
    SetBkMode(dc, TRANSPARENT);
    RECT rects[kMaxButtons];
    LayOutButtons(bar, state, rects);
    for (int i = 0; i < state.buttonCount; ++i) {
        const TBBUTTON &b = state.buttons[i];
        RECT r = rects[i];
        if (b.fsStyle & BTNS_SEP) {
            r.left = (r.left + r.right) / 2 - 1;
            DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT);
            continue;
        }
        if (i == state.pressed)
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        SetTextColor(dc, GetSysColor((b.fsState & TBSTATE_ENABLED) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        DrawTextW(dc, ButtonText(state, b), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, old);
    EndPaint(bar, &ps);
}

void SetPressed(HWND bar, BarState *state, int index)
{
    state->pressed = index;
    InvalidateRect(bar, nullptr, TRUE);
}

LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    BarState *state = StateOf(bar);
    if (!state && message != WM_NCCREATE)
        return DefWindowProcW(bar, message, wParam, lParam);
    switch (message) {
    case WM_NCCREATE:
        state = static_cast<BarState *>(calloc(1, sizeof(BarState)));
        if (!state)
            return FALSE;
        state->maxWidth = 0x7fff;
        state->pressed = -1;
        SetWindowLongPtrW(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(bar, GWLP_USERDATA, 0);
        free(state);
        break;
    case WM_PAINT:
        Paint(bar, *state);
        return 0;
    case WM_LBUTTONDOWN: {
        int index = ButtonAt(bar, *state, lParam);
        if (index >= 0 && (state->buttons[index].fsState & TBSTATE_ENABLED)) {
            SetCapture(bar);
            SetPressed(bar, state, index);
        }
        return 0;
    }
    case WM_LBUTTONUP: {
        int pressed = state->pressed;
        if (pressed < 0)
            return 0;
        bool hit = ButtonAt(bar, *state, lParam) == pressed;
        int command = state->buttons[pressed].idCommand;
        SetPressed(bar, state, -1);
        ReleaseCapture();
        // The command may close the window, and this bar with it: nothing
        // of the bar is touched after it.
        if (hit)
            SendMessageW(GetParent(bar), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(bar));
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (state->pressed >= 0)
            SetPressed(bar, state, -1);
        return 0;
    case TB_BUTTONSTRUCTSIZE:
    case TB_SETBITMAPSIZE:
        return TRUE;
    case TB_SETBUTTONWIDTH:
        state->minWidth = LOWORD(lParam);
        state->maxWidth = HIWORD(lParam);
        return TRUE;
    case TB_ADDSTRINGW:
        if (wParam) {  // a string resource of that module
            wchar_t text[kStringUnits + 1] = {};
            if (!LoadStringW(reinterpret_cast<HINSTANCE>(wParam), LOWORD(lParam), text, kStringUnits))
                return -1;
            return AddStrings(state, text);
        }
        return AddStrings(state, reinterpret_cast<const wchar_t *>(lParam));
    case TB_ADDBUTTONSW:
        return AddButtons(bar, state, wParam, reinterpret_cast<const TBBUTTON *>(lParam));
    case TB_BUTTONCOUNT:
        return state->buttonCount;
    case TB_GETBUTTON: {
        auto *out = reinterpret_cast<TBBUTTON *>(lParam);
        if (!out || wParam >= WPARAM(state->buttonCount))
            return FALSE;
        *out = state->buttons[wParam];
        return TRUE;
    }
    case TB_GETBUTTONTEXTW: {
        int index = IndexOfCommand(*state, wParam);
        if (index < 0)
            return -1;
        const wchar_t *text = ButtonText(*state, state->buttons[index]);
        int length = lstrlenW(text);
        // As a toolbar's: the caller's buffer takes the text and its zero.
        if (lParam)
            memcpy(reinterpret_cast<wchar_t *>(lParam), text, (length + 1) * sizeof(wchar_t));
        return length;
    }
    case TB_GETRECT: {
        int index = IndexOfCommand(*state, wParam);
        auto *out = reinterpret_cast<RECT *>(lParam);
        if (index < 0 || !out)
            return FALSE;
        RECT rects[kMaxButtons];
        LayOutButtons(bar, *state, rects);
        *out = rects[index];
        return TRUE;
    }
    case TB_AUTOSIZE: {
        RECT parent;
        GetClientRect(GetParent(bar), &parent);
        SetWindowPos(bar, nullptr, 0, 0, parent.right - parent.left, kBarHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    }
    return DefWindowProcW(bar, message, wParam, lParam);
}

// No background brush: the bar paints all of itself.
void RegisterBarClass()
{
    const HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    const WNDCLASSW barClass = {
        0,       BarProc, 0,       0,       GetModuleHandleW(nullptr),  // style, procedure, extra bytes, instance
        nullptr, arrow,   nullptr, nullptr, kBarClass,                  // icon, cursor, background, menu, name
    };
    RegisterClassW(&barClass);  // fails harmlessly when already registered
}

}  // namespace

BOOL CCeCommandBar::Create(CWnd *pParentWnd, DWORD dwStyle, UINT nID)
{
    RegisterBarClass();
    DWORD style = dwStyle & ~CBRS_TOP;
    HWND hWnd = CreateWindowExW(0, kBarClass, nullptr, style, 0, 0, 0, 0, pParentWnd->m_hWnd,
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
    RECT frame, work, client;
    GetWindowRect(parent, &frame);
    GetClientRect(parent, &client);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int left = frame.left, top = frame.top - shift / 2;
    int wide = frame.right - frame.left, tall = frame.bottom - frame.top + shift;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (tall > work.bottom - work.top) {
        // Taller than the work area, as on the device's screen: as there,
        // the window has no frame, the bar and the dialog fill the work area
        // and the navigation bar above shows the title. A frame would reach
        // under the bar, and Wine paints a caption over the window above it.
        LONG_PTR style = GetWindowLongPtrW(parent, GWL_STYLE), ex = GetWindowLongPtrW(parent, GWL_EXSTYLE);
        SetWindowLongPtrW(parent, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME));
        SetWindowLongPtrW(parent, GWL_EXSTYLE,
                          ex & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE));
        left = work.left;
        top = work.top;
        wide = client.right - client.left;
        tall = client.bottom - client.top + shift;
        flags |= SWP_FRAMECHANGED;
    } else if (top + tall > work.bottom) {
        top = work.bottom - tall;
    } else if (top < work.top) {
        top = work.top;
    }
    SetWindowPos(parent, nullptr, left, top, wide, tall, flags);
    m_nRoom = height;
}
