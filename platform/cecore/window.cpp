// Window behaviour of CE that desktop Win32 lacks.
//
// - Hiding the foreground window hands the front to the next visible
//   top-level window in z-order, as CE does; otherwise typed characters that
//   follow would go nowhere.
// - WS_EX_CAPTIONOKBTN stays in the window's style, where the shell's
//   navigation bar looks for it: while such a window is in front the bar
//   shows "ok", which sends it IDOK (platform/shell/navbar.cpp). Desktop
//   Win32 keeps the bit and draws nothing for it.
// - No input method: CE gives a program's threads no IME window, while Wine
//   makes one for every thread and registers each new window with it.
#include <windows.h>
#include <imm.h>

namespace {

// Before the program's first window. The IME window, its per-window work and
// the COM start-up of its first focus cost Wine some 20 ms of every start,
// for nothing a CE program uses: typed characters arrive without it.
__attribute__((constructor)) void TurnOffInputMethod() { ImmDisableIME(static_cast<DWORD>(-1)); }

bool CanTakeFront(HWND candidate, HWND hidden)
{
    if (!IsWindowVisible(candidate) || !IsWindowEnabled(candidate))
        return false;
    LONG_PTR ex = GetWindowLongPtrW(candidate, GWL_EXSTYLE);
    if (ex & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW))
        return false;
    for (HWND owner = candidate; owner; owner = GetWindow(owner, GW_OWNER))
        if (owner == hidden)
            return false;
    return true;
}

// On CE the window is in front, with its focus, when the call returns. Here
// another process takes the activation in its own time: wait for it briefly,
// so that what is typed next reaches the window's focus.
void WaitForActivation(HWND window)
{
    // Looked at every millisecond: the text waits on it.
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    DWORD start = GetTickCount();
    for (;;) {
        GUITHREADINFO info = {sizeof(info)};
        if (GetGUIThreadInfo(thread, &info) && info.hwndActive == window && info.hwndFocus)
            return;
        if (GetTickCount() - start >= 500)
            return;
        Sleep(1);
    }
}

// The window that takes the front when this one hides: the first visible
// top-level window in z-order that is neither it nor one it owns.
HWND NextFront(HWND hidden)
{
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w != hidden && CanTakeFront(w, hidden))
            return w;
    return nullptr;
}

}  // namespace

extern "C" {

void WINAPI CeAddCaptionOkButton(HWND window)
{
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_CAPTIONOKBTN);
}

BOOL WINAPI CeSetWindowPos(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags)
{
    HWND front = GetForegroundWindow();
    bool handsFront = (flags & SWP_HIDEWINDOW) && front && (front == window || IsChild(window, front));
    HWND next = handsFront ? NextFront(window) : nullptr;
    // The next window takes the front first; the hide then needs no
    // activation handling of its own, by far its slowest part here.
    if (next) {
        SetForegroundWindow(next);
        flags |= SWP_NOACTIVATE;
    }
    // A size equal to the window's own changes nothing; said so, Wine skips a
    // resize pass over the window and its children, about a millisecond of
    // the palette's hide.
    RECT current;
    if (!(flags & SWP_NOSIZE) && GetWindowRect(window, &current) && current.right - current.left == cx
        && current.bottom - current.top == cy)
        flags |= SWP_NOSIZE;
    BOOL ok = SetWindowPos(window, after, x, y, cx, cy, flags);
    if (next)
        WaitForActivation(next);
    return ok;
}

// The layer's own, so that a program that makes its windows here starts
// without the input method; WS_EX_CAPTIONOKBTN passes as it is.
HWND WINAPI CeCreateWindowExW(DWORD exStyle, LPCWSTR cls, LPCWSTR name, DWORD style, int x, int y, int cx, int cy,
                              HWND parent, HMENU menu, HINSTANCE inst, LPVOID param)
{
    return CreateWindowExW(exStyle, cls, name, style, x, y, cx, cy, parent, menu, inst, param);
}

}  // extern "C"
