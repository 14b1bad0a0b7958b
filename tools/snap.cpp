// snap: drives the programs as a user would and saves the screen, for the
// README's pictures (scripts/screenshots).
//
//   snap wait WINDOW            wait until the window shows
//   snap gone WINDOW            wait until it has gone
//   snap click WINDOW ID        a tap on the window's control ID
//   snap command WINDOW ID      the command ID, as a menu or a command bar sends it
//   snap settext WINDOW ID TEXT the control's text, as typed
//   snap shot FILE.bmp          the whole screen, read through GDI
//
// WINDOW is a visible top-level window's caption, or "id:N" for the visible
// top-level window that has a control with id N (dialogs without a caption).
// Exit code 0 on success, 1 when the window never came (or never went), 2 on
// a usage error.
#include <windows.h>
#include <stdlib.h>

namespace {

const DWORD kTimeoutMs = 10000;
const DWORD kPollMs = 100;

struct Search {
    int control;
    HWND found;
};

BOOL CALLBACK HasControl(HWND window, LPARAM param)
{
    Search *search = reinterpret_cast<Search *>(param);
    if (IsWindowVisible(window) && GetDlgItem(window, search->control)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisible(const wchar_t *which)
{
    if (!wcsncmp(which, L"id:", 3)) {
        Search search = {_wtoi(which + 3), nullptr};
        EnumWindows(HasControl, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    HWND window = FindWindowW(nullptr, which);
    return window && IsWindowVisible(window) ? window : nullptr;
}

// Polls, since the window belongs to another process that is still starting.
HWND WaitFor(const wchar_t *which)
{
    for (DWORD waited = 0; waited < kTimeoutMs; waited += kPollMs) {
        HWND window = FindVisible(which);
        if (window)
            return window;
        Sleep(kPollMs);
    }
    return nullptr;
}

bool WaitGone(const wchar_t *which)
{
    for (DWORD waited = 0; waited < kTimeoutMs; waited += kPollMs) {
        if (!FindVisible(which))
            return true;
        Sleep(kPollMs);
    }
    return false;
}

// Writes the screen as a bottom-up 24-bit BMP. The desktop DC sees modal
// boxes as drawn, where a capture of the X root can show them black.
bool SaveScreen(const wchar_t *path)
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap && memory) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
        DWORD stride = (DWORD(width) * 3 + 3) & ~3u, size = stride * DWORD(height);
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
        file.bfSize = file.bfOffBits + size;
        HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            saved = WriteFile(out, &file, sizeof(file), &written, nullptr)
                    && WriteFile(out, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr)
                    && WriteFile(out, bits, size, &written, nullptr) && written == size;
            CloseHandle(out);
        }
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

int Usage()
{
    wchar_t help[] = L"usage: snap wait|gone WINDOW | click|command WINDOW ID | settext WINDOW ID TEXT"
                     L" | shot FILE.bmp\n";
    DWORD written = 0;
    WriteConsoleW(GetStdHandle(STD_ERROR_HANDLE), help, DWORD(wcslen(help)), &written, nullptr);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 3)
        return Usage();
    const wchar_t *verb = argv[1], *target = argv[2];
    if (!wcscmp(verb, L"shot"))
        return SaveScreen(target) ? 0 : 1;
    if (!wcscmp(verb, L"gone"))
        return WaitGone(target) ? 0 : 1;
    HWND window = WaitFor(target);
    if (!window)
        return 1;
    if (!wcscmp(verb, L"wait"))
        return 0;
    if (argc < 4)
        return Usage();
    int id = _wtoi(argv[3]);
    if (!wcscmp(verb, L"command")) {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        return 0;
    }
    HWND control = GetDlgItem(window, id);
    if (!control)
        return 1;
    if (!wcscmp(verb, L"click")) {
        PostMessageW(control, BM_CLICK, 0, 0);
        return 0;
    }
    if (!wcscmp(verb, L"settext") && argc >= 5) {
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        SendMessageW(control, EM_SETSEL, 0, -1);
        return 0;
    }
    return Usage();
}
