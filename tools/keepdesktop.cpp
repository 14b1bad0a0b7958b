// keepdesktop.exe: holds the prefix's desktop for the length of a test run.
//
// Wine ends a desktop's own process soon after the last program on it ends,
// and the next program to show a window starts it again as a child of its
// own, which then holds that program's output open until the desktop ends in
// turn. With each test case a program of its own, every case would pay for
// both. A program that stays on the desktop, with a message-only window that
// no test can find, keeps the desktop up; it ends when its process is ended.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    if (!CreateWindowExW(0, L"Static", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr))
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
