// PostKeybdMessage: keyboard messages posted to a window, as CE does.
//
// With the window (HWND)-1 they go to the window with the focus of the
// foreground thread, or to its active window when nothing has the focus; with
// a null window, to the calling thread's; otherwise to the window given. A
// virtual key, when given, becomes WM_KEYDOWN or WM_KEYUP by its key state;
// every character becomes WM_CHAR, one per UTF-16 unit, so a character beyond
// the basic plane arrives as its surrogate pair. Posted straight to the window
// and not through desktop Win32's hardware input (SendInput), which would add
// key messages CE does not send and cost the text about a millisecond.
#include <windows.h>

namespace {

HWND KeyboardTarget(HWND hwnd)
{
    if (hwnd && hwnd != reinterpret_cast<HWND>(-1))
        return hwnd;
    DWORD thread = hwnd ? GetWindowThreadProcessId(GetForegroundWindow(), nullptr) : GetCurrentThreadId();
    GUITHREADINFO info = {sizeof(info)};
    if (!thread || !GetGUIThreadInfo(thread, &info))
        return nullptr;
    return info.hwndFocus ? info.hwndFocus : info.hwndActive;
}

}  // namespace

extern "C" BOOL WINAPI PostKeybdMessage(HWND hwnd, UINT vKey, KEY_STATE_FLAGS keyStateFlags, UINT count,
                                        UINT *shiftStates, UINT *characters)
{
    if (count && !characters)
        return FALSE;
    HWND target = KeyboardTarget(hwnd);
    if (!target)
        return FALSE;
    BOOL ok = TRUE;
    if (vKey) {
        bool down = (keyStateFlags & KeyStateDownFlag) != 0;
        ok &= PostMessageW(target, down ? WM_KEYDOWN : WM_KEYUP, vKey, down ? 1 : 0xC0000001);
    }
    for (UINT i = 0; i < count; ++i) {
        UINT c = characters[i];
        if (c > 0x10FFFF)
            continue;
        if (c > 0xFFFF) {
            c -= 0x10000;
            ok &= PostMessageW(target, WM_CHAR, 0xD800 + (c >> 10), 1);
            ok &= PostMessageW(target, WM_CHAR, 0xDC00 + (c & 0x3FF), 1);
        } else {
            ok &= PostMessageW(target, WM_CHAR, c, 1);
        }
    }
    return ok;
}
