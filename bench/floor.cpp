// The floor of the benchmark: the least a Win32 program with one window does.
// It registers a class, shows one window titled "BenchFloor", and runs the
// message loop until the window is closed. With "timer" it also runs a 5 ms
// window timer that does nothing, the floor of an idle polling window.
//
// Built on the platform layer as the programs are (CreateWindowExW is the
// layer's), so it starts as a CE program does: without an input method.
#include <windows.h>
#include "floorwindow.h"

namespace {

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// With "timer", a 5 ms timer that does nothing.
void StartTimer(HWND window, LPCWSTR commandLine)
{
    if (commandLine && lstrcmpW(commandLine, L"timer") == 0)
        SetTimer(window, 1, 5, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show)
{
    return RunBareFloor(instance, L"BenchFloor", FloorProc, show, StartTimer, commandLine);
}
