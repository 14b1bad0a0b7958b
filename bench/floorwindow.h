// What every floor program does around its own work: a window class, one
// top-level window at the palette's place and size titled as its class, and
// the message loop; for the floors with one bare window, the whole entry.
// Inline, so each floor stays one small program.
#ifndef BENCH_FLOORWINDOW_H
#define BENCH_FLOORWINDOW_H

#include <windows.h>

const int kFloorX = 20, kFloorY = 80, kFloorWidth = 203, kFloorHeight = 195;

inline bool RegisterFloorClass(HINSTANCE instance, WNDPROC procedure, const wchar_t *name)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = name;
    return RegisterClassW(&wc) != 0;
}

// Visible at once unless style leaves out WS_VISIBLE.
inline HWND CreateFloorWindow(HINSTANCE instance, const wchar_t *name, DWORD style)
{
    return CreateWindowExW(0, name, name, style | WS_CAPTION | WS_SYSMENU, kFloorX, kFloorY, kFloorWidth, kFloorHeight,
                           nullptr, nullptr, instance, nullptr);
}

// Until the quit message; its value is the exit code.
inline int RunFloorMessages()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// The entry of a floor with one bare window: its class and window, shown as
// the program was started, then start (when given) for the floor's own work,
// then the message loop. 1 when the window cannot be made.
inline int RunBareFloor(HINSTANCE instance, const wchar_t *name, WNDPROC procedure, int show,
                        void (*start)(HWND window, LPCWSTR commandLine), LPCWSTR commandLine)
{
    if (!RegisterFloorClass(instance, procedure, name))
        return 1;
    HWND window = CreateFloorWindow(instance, name, WS_VISIBLE);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    if (start)
        start(window, commandLine);
    return RunFloorMessages();
}

#endif
