// MessageBoxW as the device lays it out.
//
// The desktop's box sizes itself for a desktop screen: a short sentence stays
// on one line some 350 pixels wide, past the edges of a 240-pixel screen. The
// device's box is never wider than the work area, lies centred in it and wraps
// its text at word boundaries. Here it is a dialog of the system's own class
// (#32770) from a template built in memory, laid out in pixels in the
// system's message font: the text stays in a static control with the id
// 0xFFFF, and WM_COMMAND with a button's id ends it with that id, as with the
// desktop's box.
#include <windows.h>
#include <cstring>

namespace {

const int kMargin = 8;
const int kGap = 6;
const int kIconSize = 32;
const int kButtonHeight = 21;
const int kButtonMinWidth = 50;
const WORD kTextId = 0xFFFF;
const WORD kIconId = 0xFFFE;
const int kMaxButtons = 3;

struct Button {
    WORD id;
    const wchar_t *text;
};

struct Box {
    const wchar_t *text;
    const wchar_t *caption;
    UINT type;
    Button buttons[kMaxButtons];
    int buttonCount;
};

// The buttons of each MB_ type, as the desktop's box has them; any other
// type has OK alone.
const struct {
    UINT type;
    int count;
    Button buttons[kMaxButtons];
} kButtonsOfType[] = {
    {MB_OK, 1, {{IDOK, L"OK"}}},
    {MB_OKCANCEL, 2, {{IDOK, L"OK"}, {IDCANCEL, L"Cancel"}}},
    {MB_ABORTRETRYIGNORE, 3, {{IDABORT, L"&Abort"}, {IDRETRY, L"&Retry"}, {IDIGNORE, L"&Ignore"}}},
    {MB_YESNOCANCEL, 3, {{IDYES, L"&Yes"}, {IDNO, L"&No"}, {IDCANCEL, L"Cancel"}}},
    {MB_YESNO, 2, {{IDYES, L"&Yes"}, {IDNO, L"&No"}}},
    {MB_RETRYCANCEL, 2, {{IDRETRY, L"&Retry"}, {IDCANCEL, L"Cancel"}}},
    {MB_CANCELTRYCONTINUE, 3, {{IDCANCEL, L"Cancel"}, {IDTRYAGAIN, L"&Try Again"}, {IDCONTINUE, L"&Continue"}}},
};

int ButtonsOf(UINT type, Button *out)
{
    const auto *row = &kButtonsOfType[0];
    for (const auto &candidate : kButtonsOfType)
        if (candidate.type == (type & MB_TYPEMASK))
            row = &candidate;
    for (int i = 0; i < row->count; ++i)
        out[i] = row->buttons[i];
    return row->count;
}

LPCWSTR IconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return IDI_HAND;
    case MB_ICONQUESTION:
        return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
        return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
        return IDI_ASTERISK;
    default:
        return nullptr;
    }
}

// A dialog template in memory: header, then items, each DWORD-aligned.
class Template {
public:
    void Header(DWORD style, DWORD exStyle, WORD items, const wchar_t *caption, WORD points, const wchar_t *face)
    {
        DLGTEMPLATE t = {style, exStyle, items, 0, 0, 0, 0};
        Add(&t, sizeof(t));
        Word(0);  // no menu
        Word(0);  // the system's dialog class
        Text(caption);
        Word(points);
        Text(face);
    }
    void Item(DWORD style, WORD id, WORD atom, const wchar_t *text)
    {
        Align();
        DLGITEMTEMPLATE t = {style | WS_CHILD | WS_VISIBLE, 0, 0, 0, 1, 1, id};
        Add(&t, sizeof(t));
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE *Get() const { return reinterpret_cast<const DLGTEMPLATE *>(bytes); }
    bool Full() const { return full; }

private:
    void Add(const void *data, size_t size)
    {
        if (used + size > sizeof(bytes)) {
            full = true;
            return;
        }
        memcpy(bytes + used, data, size);
        used += size;
    }
    void Word(WORD w) { Add(&w, sizeof(w)); }
    void Text(const wchar_t *text) { Add(text ? text : L"", ((text ? lstrlenW(text) : 0) + 1) * sizeof(wchar_t)); }
    void Align()
    {
        static const BYTE zero[4] = {};
        Add(zero, (4 - used % 4) % 4);
    }
    alignas(4) BYTE bytes[512] = {};
    size_t used = 0;
    bool full = false;
};

// The text's size as the static control draws it: DrawTextW with the
// control's own flags, so the wrapping measured is the wrapping shown.
SIZE MeasureText(HWND control, const wchar_t *text, int width)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r = {0, 0, width, 0};
    DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    SIZE size = {r.right - r.left, r.bottom - r.top};
    return size;
}

int ButtonWidth(HWND button)
{
    wchar_t text[32] = {};
    GetWindowTextW(button, text, 32);
    HDC dc = GetDC(button);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(button, WM_GETFONT, 0, 0)));
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(button, dc);
    int width = r.right - r.left + 2 * kMargin;
    return width > kButtonMinWidth ? width : kButtonMinWidth;
}

// The caption's text width in the caption font, with room for the close box:
// the box grows for a long title only as far as the work area allows, and
// the caption then ends the title with an ellipsis.
int CaptionWidth(HWND box)
{
    wchar_t caption[256] = {};
    GetWindowTextW(box, caption, 256);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return 0;
    HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, caption, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    DeleteObject(font);
    return r.right - r.left + 2 * metrics.iCaptionWidth + kMargin;
}

void LayOut(HWND box, const Box &state)
{
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    DWORD style = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE));
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    int workWidth = work.right - work.left, workHeight = work.bottom - work.top;

    HWND icon = GetDlgItem(box, kIconId);
    int iconRoom = icon ? kIconSize + kMargin : 0;
    int maxClient = workWidth - frameWidth;
    int maxText = maxClient - 2 * kMargin - iconRoom;
    if (maxText < 1)
        maxText = 1;

    HWND text = GetDlgItem(box, kTextId);
    // As wide as its longest line, wrapped only where the work area ends.
    SIZE natural = MeasureText(text, state.text, 0x7FFF);
    int textWidth = natural.cx < maxText ? natural.cx : maxText;
    SIZE wrapped = MeasureText(text, state.text, textWidth);
    int textHeight = wrapped.cy;

    int widths[kMaxButtons], buttonsWidth = 0;
    for (int i = 0; i < state.buttonCount; ++i) {
        widths[i] = ButtonWidth(GetDlgItem(box, state.buttons[i].id));
        buttonsWidth += widths[i] + (i ? kGap : 0);
    }

    int client = 2 * kMargin + iconRoom + textWidth;
    if (2 * kMargin + buttonsWidth > client)
        client = 2 * kMargin + buttonsWidth;
    int caption = CaptionWidth(box) - frameWidth;
    if (caption > client)
        client = caption;
    if (client > maxClient)
        client = maxClient;

    const int top = kMargin;
    int upper = icon && kIconSize > textHeight ? kIconSize : textHeight;
    int clientHeight = kMargin + upper + kMargin + kButtonHeight + kMargin;
    int width = client + frameWidth, height = clientHeight + frameHeight;
    if (height > workHeight)
        height = workHeight;

    if (icon)
        SetWindowPos(icon, nullptr, kMargin, top, kIconSize, kIconSize, SWP_NOZORDER | SWP_NOACTIVATE);
    int textTop = top + (upper - textHeight) / 2;
    SetWindowPos(text, nullptr, kMargin + iconRoom, textTop, textWidth, textHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    int x = (client - buttonsWidth) / 2, y = kMargin + upper + kMargin;
    for (int i = 0; i < state.buttonCount; ++i) {
        SetWindowPos(GetDlgItem(box, state.buttons[i].id), nullptr, x, y, widths[i], kButtonHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        x += widths[i] + kGap;
    }
    SetWindowPos(box, nullptr, work.left + (workWidth - width) / 2, work.top + (workHeight - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool HasButton(const Box &state, WORD id)
{
    for (int i = 0; i < state.buttonCount; ++i)
        if (state.buttons[i].id == id)
            return true;
    return false;
}

INT_PTR CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const Box *state = reinterpret_cast<const Box *>(lParam);
        SetWindowLongPtrW(box, DWLP_USER, lParam);
        // Set here rather than in the template, which so stays small for any
        // length of text.
        SetWindowTextW(box, state->caption);
        SetDlgItemTextW(box, kTextId, state->text);
        if (HWND icon = GetDlgItem(box, kIconId))
            SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IconOf(state->type))), 0);
        LayOut(box, *state);
        int chosen = static_cast<int>((state->type & MB_DEFMASK) >> 8);
        if (chosen >= state->buttonCount)
            chosen = 0;
        HWND button = GetDlgItem(box, state->buttons[chosen].id);
        SendMessageW(box, DM_SETDEFID, state->buttons[chosen].id, 0);
        SetFocus(button);
        if (state->type & MB_SETFOREGROUND)
            SetForegroundWindow(box);
        return FALSE;
    }
    case WM_COMMAND: {
        const Box *state = reinterpret_cast<const Box *>(GetWindowLongPtrW(box, DWLP_USER));
        WORD id = LOWORD(wParam);
        // Escape and the close box: Cancel where there is one, and OK for a
        // box whose only button is OK, as the desktop's box answers them.
        if (id == IDCANCEL && !HasButton(*state, IDCANCEL)) {
            if ((state->type & MB_TYPEMASK) != MB_OK)
                return TRUE;
            id = IDOK;
        }
        if (id == IDOK || HasButton(*state, id))
            EndDialog(box, id);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

extern "C" int WINAPI CeMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    // No caption is "Error", as on the desktop.
    Box state = {text ? text : L"", caption ? caption : L"Error", type, {}, 0};
    state.buttonCount = ButtonsOf(type, state.buttons);
    bool icon = IconOf(type) != nullptr;

    // The system's message font, in points for the template.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HDC screen = GetDC(nullptr);
    int height = metrics.lfMessageFont.lfHeight < 0 ? -metrics.lfMessageFont.lfHeight : metrics.lfMessageFont.lfHeight;
    WORD points = static_cast<WORD>(height ? MulDiv(height, 72, GetDeviceCaps(screen, LOGPIXELSY)) : 8);
    ReleaseDC(nullptr, screen);
    const wchar_t *face = metrics.lfMessageFont.lfFaceName[0] ? metrics.lfMessageFont.lfFaceName : L"Tahoma";

    DWORD style = DS_SETFONT | DS_MODALFRAME | DS_NOIDLEMSG | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_DLGMODALFRAME | ((type & MB_TOPMOST) ? WS_EX_TOPMOST : 0);
    Template dialog;
    dialog.Header(style, exStyle, static_cast<WORD>(1 + (icon ? 1 : 0) + state.buttonCount), L"", points, face);
    if (icon)
        dialog.Item(SS_ICON, kIconId, 0x0082, L"");
    dialog.Item(SS_LEFT | SS_NOPREFIX, kTextId, 0x0082, L"");
    for (int i = 0; i < state.buttonCount; ++i)
        dialog.Item(WS_TABSTOP | (i ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON) | (i ? 0 : WS_GROUP), state.buttons[i].id,
                    0x0080, state.buttons[i].text);
    if (dialog.Full())
        return 0;
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), owner, BoxProc,
                                             reinterpret_cast<LPARAM>(&state));
    return result > 0 ? static_cast<int>(result) : 0;
}
