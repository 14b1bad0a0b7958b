// PostKeybdMessage: typed characters through the system's input queue, to
// whatever has the keyboard focus when they are processed.
//
// The desktop equivalent is SendInput with KEYEVENTF_UNICODE: a down and an up
// per UTF-16 unit. A character beyond the basic plane becomes its surrogate
// pair, and a pair handed in as two units passes as two consecutive units.
#include <windows.h>
#include <initializer_list>

namespace {

const UINT kUnitsPerBatch = 64;

void AddUnit(INPUT *inputs, UINT *n, WCHAR unit)
{
    for (DWORD flags : {DWORD(KEYEVENTF_UNICODE), DWORD(KEYEVENTF_UNICODE | KEYEVENTF_KEYUP)}) {
        INPUT &in = inputs[(*n)++];
        in = INPUT{};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = unit;
        in.ki.dwFlags = flags;
    }
}

}  // namespace

extern "C" BOOL WINAPI PostKeybdMessage(HWND hwnd, UINT vKey, UINT keyStateFlags, UINT count, UINT *shiftStates,
                                        UINT *characters)
{
    if (count && !characters)
        return FALSE;
    // Fixed batches on the stack: typing allocates nothing.
    INPUT inputs[kUnitsPerBatch * 2];
    UINT n = 0;
    BOOL ok = TRUE;
    for (UINT i = 0; i < count; ++i) {
        UINT c = characters[i];
        if (c > 0x10FFFF)
            continue;
        if (n + 4 > ARRAYSIZE(inputs)) {
            ok &= SendInput(n, inputs, sizeof(INPUT)) == n;
            n = 0;
        }
        if (c > 0xFFFF) {
            c -= 0x10000;
            AddUnit(inputs, &n, WCHAR(0xD800 + (c >> 10)));
            AddUnit(inputs, &n, WCHAR(0xDC00 + (c & 0x3FF)));
        } else {
            AddUnit(inputs, &n, WCHAR(c));
        }
    }
    if (n)
        ok &= SendInput(n, inputs, sizeof(INPUT)) == n;
    return ok;
}
