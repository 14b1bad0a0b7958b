// SHCreateMenuBar: the Pocket PC menu bar, built from its SHMENUBAR
// description and the menu it names.
//
// On the device the bar is a window of its own along the screen's bottom. Here
// it is a strip of buttons just below its parent, owned by it and never
// activated, so that tapping it leaves the parent in front.
#include <windows.h>
#include <commctrl.h>
#include <aygshell.h>

namespace {

const wchar_t kBarClass[] = L"menu_worker";
const int kBarHeight = 26;
const int kButtonGap = 2;
const wchar_t kMenuProp[] = L"CeMenuBarMenu";

// The description (newres.h's SHMENUBAR, raw data) is the menu's id and the
// number of buttons, then seven words a button: image, command, state, style,
// string id, 0, and the index of the menu's pop-up it opens (or NOMENU).
struct BarButton {
    WORD image, command, state, style, stringId, data, subMenu;
};

LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_COMMAND: {
        HWND button = reinterpret_cast<HWND>(lParam);
        HWND parent = GetWindow(bar, GW_OWNER);
        if (HIWORD(wParam) != BN_CLICKED || !button || !parent)
            return 0;
        UINT command = LOWORD(wParam);
        LONG_PTR subMenu = GetWindowLongPtrW(button, GWLP_USERDATA);  // index + 1, 0 for none
        if (subMenu) {
            HMENU menu = static_cast<HMENU>(GetPropW(bar, kMenuProp));
            HMENU popup = menu ? GetSubMenu(menu, static_cast<int>(subMenu - 1)) : nullptr;
            if (!popup)
                return 0;
            RECT r;
            GetWindowRect(button, &r);
            command = TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_BOTTOMALIGN, r.left, r.top, parent,
                                       nullptr);
            if (!command)
                return 0;
        }
        PostMessageW(parent, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        return 0;
    }
    case WM_DESTROY:
        if (HMENU menu = static_cast<HMENU>(RemovePropW(bar, kMenuProp)))
            DestroyMenu(menu);
        return 0;
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

}  // namespace

extern "C" BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO *info)
{
    if (!info || info->cbSize != sizeof(SHMENUBARINFO) || !IsWindow(info->hwndParent))
        return FALSE;
    HINSTANCE inst = info->hInstRes;
    HRSRC found = FindResourceW(inst, MAKEINTRESOURCEW(info->nToolBarId), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = found ? LoadResource(inst, found) : nullptr;
    const WORD *words = loaded ? static_cast<const WORD *>(LockResource(loaded)) : nullptr;
    DWORD size = found ? SizeofResource(inst, found) : 0;
    if (!words || size < 2 * sizeof(WORD))
        return FALSE;
    WORD menuId = words[0], count = words[1];
    if (size < 2 * sizeof(WORD) + count * sizeof(BarButton))
        return FALSE;
    HMENU menu = LoadMenuW(inst, MAKEINTRESOURCEW(menuId));
    if (!menu)
        return FALSE;

    RegisterBarClass();
    RECT parent;
    GetWindowRect(info->hwndParent, &parent);
    HWND bar = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kBarClass, L"", WS_POPUP | WS_VISIBLE | WS_BORDER,
                               parent.left, parent.bottom, parent.right - parent.left, kBarHeight, info->hwndParent,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!bar) {
        DestroyMenu(menu);
        return FALSE;
    }
    SetPropW(bar, kMenuProp, menu);

    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HDC dc = GetDC(bar);
    HGDIOBJ old = SelectObject(dc, font);
    const BarButton *buttons = reinterpret_cast<const BarButton *>(words + 2);
    int x = kButtonGap;
    for (WORD i = 0; i < count; ++i) {
        const BarButton &b = buttons[i];
        wchar_t text[64] = {};
        LoadStringW(inst, b.stringId, text, ARRAYSIZE(text));
        SIZE extent = {};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
        int width = extent.cx + 16;
        HWND button = CreateWindowExW(
            0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | ((b.state & TBSTATE_ENABLED) ? 0 : WS_DISABLED),
            x, 1, width, kBarHeight - 4, bar, reinterpret_cast<HMENU>(UINT_PTR(b.command)), GetModuleHandleW(nullptr),
            nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if ((b.style & TBSTYLE_DROPDOWN) && b.subMenu != NOMENU)
            SetWindowLongPtrW(button, GWLP_USERDATA, LONG_PTR(b.subMenu) + 1);
        x += width + kButtonGap;
    }
    SelectObject(dc, old);
    ReleaseDC(bar, dc);
    info->hwndMB = bar;
    return TRUE;
}
