// SHCreateMenuBar: the Pocket PC menu bar, a window of its own along the
// bottom of the screen, built from its SHMENUBAR description and the menu it
// names, or empty (SHCMBF_EMPTYBAR) for the buttons a program adds to it.
//
// On the device the bar takes the toolbar messages, which is how the dialog
// framework's command bar fills it (TB_ADDSTRING, TB_ADDBUTTONS). Here each
// button is a push button of the bar with the button's command as its id; a
// tap sends the command to the window the bar serves, and a button with a
// sub-menu opens it above itself, while that window takes input (not under
// a modal dialog of its own). The bar is owned by that window and never
// activated, so that tapping it leaves that window in front; full-screen
// dialogs leave its place to it (SHInitDialog).
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>
#include <string.h>
#include <aygshell.h>
#include "shellmetrics.h"

namespace {

const wchar_t kBarClass[] = L"menu_worker";
const int kButtonGap = 2;
const int kButtonPadding = 8;  // pixels each side of a button's text
const int kSeparatorWidth = 8;
const int kMaxButtons = 8;
const int kMaxStrings = 8;
const int kStringUnits = 64;

// The description (newres.h's SHMENUBAR, raw data) is the menu's id and the
// number of buttons, then seven words a button: image, command, state, style,
// string id, 0, and the index of the menu's pop-up it opens (or NOMENU).
struct DescribedButton {
    WORD image, command, state, style, stringId, data, subMenu;
};

struct BarState {
    HMENU menu;  // the description's menu; null for an empty bar
    int buttonCount;
    TBBUTTON buttons[kMaxButtons];
    HWND pushButtons[kMaxButtons];  // null for a separator
    int subMenus[kMaxButtons];      // index of the menu's pop-up, or -1
    int stringCount;
    wchar_t strings[kMaxStrings][kStringUnits];
    int minWidth, maxWidth;  // TB_SETBUTTONWIDTH, pixels
};

BarState *StateOf(HWND bar) { return reinterpret_cast<BarState *>(GetWindowLongPtrW(bar, GWLP_USERDATA)); }

HFONT BarFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// The buttons left to right, each as wide as its text within the widths
// the program asked for.
void LayOutButtons(HWND bar, const BarState &state)
{
    HDC dc = GetDC(bar);
    HGDIOBJ old = SelectObject(dc, BarFont());
    int x = kButtonGap;
    for (int i = 0; i < state.buttonCount; ++i) {
        HWND button = state.pushButtons[i];
        if (!button) {
            x += state.buttons[i].iBitmap > 0 ? state.buttons[i].iBitmap : kSeparatorWidth;
            continue;
        }
        wchar_t text[kStringUnits] = {};
        GetWindowTextW(button, text, kStringUnits);
        SIZE extent = {};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
        int width = extent.cx + 2 * kButtonPadding;
        width = width < state.minWidth ? state.minWidth : width;
        width = width > state.maxWidth ? state.maxWidth : width;
        MoveWindow(button, x, 1, width, kMenuBarHeight - 4, TRUE);
        x += width + kButtonGap;
    }
    SelectObject(dc, old);
    ReleaseDC(bar, dc);
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

bool AddButton(HWND bar, BarState *state, const TBBUTTON &button, int subMenu)
{
    if (state->buttonCount == kMaxButtons)
        return false;
    HWND pushButton = nullptr;
    if (!(button.fsStyle & BTNS_SEP)) {
        INT_PTR i = button.iString;
        const wchar_t *text = i >= 0 && i < state->stringCount ? state->strings[i] : L"";
        DWORD style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | ((button.fsState & TBSTATE_ENABLED) ? 0 : WS_DISABLED);
        pushButton = CreateWindowExW(0, L"BUTTON", text, style, 0, 0, 0, 0, bar,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(LOWORD(button.idCommand))),
                                     GetModuleHandleW(nullptr), nullptr);
        if (!pushButton)
            return false;
        SendMessageW(pushButton, WM_SETFONT, reinterpret_cast<WPARAM>(BarFont()), FALSE);
    }
    int at = state->buttonCount++;
    state->buttons[at] = button;
    state->pushButtons[at] = pushButton;
    state->subMenus[at] = subMenu;
    return true;
}

void DeleteButton(BarState *state, int index)
{
    if (state->pushButtons[index])
        DestroyWindow(state->pushButtons[index]);
    for (int i = index + 1; i < state->buttonCount; ++i) {
        state->buttons[i - 1] = state->buttons[i];
        state->pushButtons[i - 1] = state->pushButtons[i];
        state->subMenus[i - 1] = state->subMenus[i];
    }
    --state->buttonCount;
}

int IndexOfCommand(const BarState &state, WPARAM command)
{
    for (int i = 0; i < state.buttonCount; ++i)
        if (state.pushButtons[i] && state.buttons[i].idCommand == static_cast<int>(command))
            return i;
    return -1;
}

// A tap on a push button: its command, or the one chosen from its sub-menu,
// goes to the window the bar serves.
void OnTap(HWND bar, const BarState &state, HWND pushButton)
{
    HWND owner = GetWindow(bar, GW_OWNER);
    int index = -1;
    for (int i = 0; i < state.buttonCount && index < 0; ++i)
        if (state.pushButtons[i] == pushButton)
            index = i;
    if (!owner || index < 0 || !IsWindowEnabled(owner))
        return;
    UINT command = static_cast<UINT>(state.buttons[index].idCommand);
    if (state.subMenus[index] >= 0) {
        HMENU popup = state.menu ? GetSubMenu(state.menu, state.subMenus[index]) : nullptr;
        if (!popup)
            return;
        RECT r;
        GetWindowRect(pushButton, &r);
        command = TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_BOTTOMALIGN, r.left, r.top, owner,
                                   nullptr);
        if (!command)
            return;
    }
    PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

LRESULT ToolbarMessage(HWND bar, BarState *state, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case TB_SETBUTTONWIDTH:
        state->minWidth = LOWORD(lParam);
        state->maxWidth = HIWORD(lParam);
        LayOutButtons(bar, *state);
        return TRUE;
    case TB_ADDSTRINGW:
        if (wParam) {  // a string resource of that module
            wchar_t text[kStringUnits + 1] = {};
            if (!LoadStringW(reinterpret_cast<HINSTANCE>(wParam), LOWORD(lParam), text, kStringUnits))
                return -1;
            return AddStrings(state, text);
        }
        return AddStrings(state, reinterpret_cast<const wchar_t *>(lParam));
    case TB_ADDBUTTONSW: {
        const TBBUTTON *buttons = reinterpret_cast<const TBBUTTON *>(lParam);
        if (!buttons || wParam > WPARAM(kMaxButtons - state->buttonCount))
            return FALSE;
        for (WPARAM i = 0; i < wParam; ++i)
            AddButton(bar, state, buttons[i], -1);
        LayOutButtons(bar, *state);
        return TRUE;
    }
    case TB_DELETEBUTTON:
        if (wParam >= WPARAM(state->buttonCount))
            return FALSE;
        DeleteButton(state, static_cast<int>(wParam));
        LayOutButtons(bar, *state);
        return TRUE;
    case TB_BUTTONCOUNT:
        return state->buttonCount;
    case TB_GETBUTTON: {
        TBBUTTON *out = reinterpret_cast<TBBUTTON *>(lParam);
        if (!out || wParam >= WPARAM(state->buttonCount))
            return FALSE;
        *out = state->buttons[wParam];
        return TRUE;
    }
    case TB_GETBUTTONTEXTW: {
        int index = IndexOfCommand(*state, wParam);
        if (index < 0)
            return -1;
        wchar_t text[kStringUnits] = {};
        int length = GetWindowTextW(state->pushButtons[index], text, kStringUnits);
        // As a toolbar's: the caller's buffer takes the text and its zero.
        if (lParam)
            memcpy(reinterpret_cast<wchar_t *>(lParam), text, (length + 1) * sizeof(wchar_t));
        return length;
    }
    case TB_GETRECT: {
        int index = IndexOfCommand(*state, wParam);
        RECT *out = reinterpret_cast<RECT *>(lParam);
        if (index < 0 || !out)
            return FALSE;
        GetWindowRect(state->pushButtons[index], out);
        MapWindowPoints(nullptr, bar, reinterpret_cast<POINT *>(out), 2);
        return TRUE;
    }
    }
    return TRUE;  // TB_BUTTONSTRUCTSIZE, TB_SETBITMAPSIZE: text buttons need nothing more
}

LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    BarState *state = StateOf(bar);
    switch (message) {
    case WM_NCCREATE:
        state = static_cast<BarState *>(calloc(1, sizeof(BarState)));
        if (!state)
            return FALSE;
        state->maxWidth = 0x7fff;
        SetWindowLongPtrW(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(bar, GWLP_USERDATA, 0);
        if (state && state->menu)
            DestroyMenu(state->menu);
        free(state);
        break;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_COMMAND:
        if (state && HIWORD(wParam) == BN_CLICKED && lParam)
            OnTap(bar, *state, reinterpret_cast<HWND>(lParam));
        return 0;
    case TB_BUTTONSTRUCTSIZE:
    case TB_SETBITMAPSIZE:
    case TB_SETBUTTONWIDTH:
    case TB_ADDSTRINGW:
    case TB_ADDBUTTONSW:
    case TB_DELETEBUTTON:
    case TB_BUTTONCOUNT:
    case TB_GETBUTTON:
    case TB_GETBUTTONTEXTW:
    case TB_GETRECT:
        return state ? ToolbarMessage(bar, state, message, wParam, lParam) : 0;
    }
    return DefWindowProcW(bar, message, wParam, lParam);
}

void RegisterBarClass()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BarProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kBarClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
}

// The description's buttons: the menu's id and the number of buttons, then
// seven words per button. False when it or its menu is missing.
bool AddDescribedButtons(HWND bar, BarState *state, HINSTANCE inst, UINT id)
{
    HRSRC found = FindResourceW(inst, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = found ? LoadResource(inst, found) : nullptr;
    const WORD *words = loaded ? static_cast<const WORD *>(LockResource(loaded)) : nullptr;
    DWORD size = found ? SizeofResource(inst, found) : 0;
    if (!words || size < 2 * sizeof(WORD))
        return false;
    WORD menuId = words[0], count = words[1];
    if (size < 2 * sizeof(WORD) + count * sizeof(DescribedButton))
        return false;
    state->menu = LoadMenuW(inst, MAKEINTRESOURCEW(menuId));
    if (!state->menu)
        return false;
    const DescribedButton *described = reinterpret_cast<const DescribedButton *>(words + 2);
    for (WORD i = 0; i < count; ++i) {
        const DescribedButton &d = described[i];
        wchar_t text[kStringUnits + 1] = {};
        LoadStringW(inst, d.stringId, text, kStringUnits);
        TBBUTTON button = {};
        button.iBitmap = static_cast<short>(d.image);
        button.idCommand = d.command;
        button.fsState = static_cast<BYTE>(d.state);
        button.fsStyle = static_cast<BYTE>(d.style);
        button.iString = AddStrings(state, text);
        bool opens = (d.style & TBSTYLE_DROPDOWN) && d.subMenu != NOMENU;
        AddButton(bar, state, button, opens ? d.subMenu : -1);
    }
    return true;
}

}  // namespace

extern "C" BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO *info)
{
    if (!info || info->cbSize != sizeof(SHMENUBARINFO) || !IsWindow(info->hwndParent))
        return FALSE;
    RegisterBarClass();
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND bar = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kBarClass, L"", WS_POPUP | WS_BORDER | WS_VISIBLE,
                               work.left, work.bottom - kMenuBarHeight, work.right - work.left, kMenuBarHeight,
                               info->hwndParent, nullptr, GetModuleHandleW(nullptr), nullptr);
    BarState *state = bar ? StateOf(bar) : nullptr;
    if (!state)
        return FALSE;
    if (!(info->dwFlags & SHCMBF_EMPTYBAR) && !AddDescribedButtons(bar, state, info->hInstRes, info->nToolBarId)) {
        DestroyWindow(bar);
        return FALSE;
    }
    LayOutButtons(bar, *state);
    info->hwndMB = bar;
    return TRUE;
}
