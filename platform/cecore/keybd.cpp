// PostKeybdMessage: keyboard messages for the focus, as CE delivers them.
//
// With the window (HWND)-1 the key and the characters enter the system's
// input, as on the device: desktop Win32's SendInput queues them for the
// foreground thread, which hands each to whatever has its focus when it takes
// it. The focus is not looked up here: while a window is being activated its
// focus passes through the top-level window before the program moves it to
// its own control, and a character posted to the focus seen at that moment
// went to the frame and was lost. Each character is a KEYEVENTF_UNICODE down
// and up per UTF-16 unit, so one beyond the basic plane arrives as its
// surrogate pair. With a null window they go to the calling thread's focus
// (or its active window), otherwise to the window given, posted straight to
// it: a virtual key as WM_KEYDOWN or WM_KEYUP by its key state, every
// character as WM_CHAR, one per UTF-16 unit.
#include <windows.h>
#include <keybd.h>

namespace {

HWND ThreadKeyboardTarget()
{
    GUITHREADINFO info = {sizeof(info)};
    if (!GetGUIThreadInfo(GetCurrentThreadId(), &info))
        return nullptr;
    return info.hwndFocus ? info.hwndFocus : info.hwndActive;
}

// The UTF-16 units of a character; 0 when it is no character.
UINT Units(UINT c, WCHAR units[2])
{
    if (c > 0x10FFFF)
        return 0;
    if (c <= 0xFFFF) {
        units[0] = static_cast<WCHAR>(c);
        return 1;
    }
    c -= 0x10000;
    units[0] = static_cast<WCHAR>(0xD800 + (c >> 10));
    units[1] = static_cast<WCHAR>(0xDC00 + (c & 0x3FF));
    return 2;
}

INPUT KeyInput(WORD vKey, WORD unit, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vKey;
    input.ki.wScan = unit;
    input.ki.dwFlags = flags;
    return input;
}

// Into the foreground thread's input, in one call so that nothing of another
// source comes between them.
BOOL SendToInput(UINT vKey, bool down, UINT count, const UINT *characters)
{
    // A key and 127 characters of up to two units, each down and up.
    INPUT inputs[1 + 127 * 4];
    UINT n = 0;
    if (vKey)
        inputs[n++] = KeyInput(static_cast<WORD>(vKey), 0, down ? 0 : KEYEVENTF_KEYUP);
    BOOL ok = TRUE;
    for (UINT i = 0; i < count; ++i) {
        WCHAR units[2];
        UINT length = Units(characters[i], units);
        for (UINT u = 0; u < length; ++u) {
            if (n + 2 > ARRAYSIZE(inputs)) {
                ok &= SendInput(n, inputs, sizeof(INPUT)) == n;
                n = 0;
            }
            inputs[n++] = KeyInput(0, units[u], KEYEVENTF_UNICODE);
            inputs[n++] = KeyInput(0, units[u], KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
        }
    }
    if (n)
        ok &= SendInput(n, inputs, sizeof(INPUT)) == n;
    return ok;
}

BOOL PostToWindow(HWND target, UINT vKey, bool down, UINT count, const UINT *characters)
{
    BOOL ok = TRUE;
    if (vKey)
        ok &= PostMessageW(target, down ? WM_KEYDOWN : WM_KEYUP, vKey, down ? 1 : 0xC0000001);
    for (UINT i = 0; i < count; ++i) {
        WCHAR units[2];
        UINT length = Units(characters[i], units);
        for (UINT u = 0; u < length; ++u)
            ok &= PostMessageW(target, WM_CHAR, units[u], 1);
    }
    return ok;
}

}  // namespace

extern "C" BOOL WINAPI PostKeybdMessage(HWND hwnd, UINT vKey, KEY_STATE_FLAGS keyStateFlags, UINT count,
                                        UINT *shiftStates, UINT *characters)
{
    if (count && !characters)
        return FALSE;
    bool down = (keyStateFlags & KeyStateDownFlag) != 0;
    if (hwnd == reinterpret_cast<HWND>(-1))
        return GetForegroundWindow() ? SendToInput(vKey, down, count, characters) : FALSE;
    HWND target = hwnd ? hwnd : ThreadKeyboardTarget();
    return target ? PostToWindow(target, vKey, down, count, characters) : FALSE;
}
