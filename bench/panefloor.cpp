// The floor of a window with the palette's load: the least a program does to
// show 38 text buttons in a child pane and take them down again. One window
// titled "BenchPane" at the palette's place and size, a pane on its client
// area, 38 push buttons with short texts in it; WM_CLOSE destroys the pane,
// then the window. Under Wine the buttons, not the window, set the pace of
// both start and exit: a bare window ends several times faster.
//
// Built on the platform layer as the programs are (CreateWindowExW is the
// layer's), so it starts as a CE program does: without an input method.
#include <windows.h>
#include "floorwindow.h"

namespace {

const int kButtons = 38, kPerRow = 10, kSize = 18, kGap = 2;
HWND pane;

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(pane);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show)
{
    if (!RegisterFloorClass(instance, FloorProc, L"BenchPane")
        || !RegisterFloorClass(instance, DefWindowProcW, L"BenchPaneChild"))
        return 1;
    // Shown once its buttons exist: the start is timed to a visible window.
    HWND window = CreateFloorWindow(instance, L"BenchPane", 0);
    if (!window)
        return 1;
    RECT client;
    GetClientRect(window, &client);
    pane = CreateWindowExW(0, L"BenchPaneChild", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, client.right,
                           client.bottom, window, nullptr, instance, nullptr);
    if (!pane)
        return 1;
    for (int i = 0; i < kButtons; ++i) {
        wchar_t text[3] = {wchar_t(L'0' + (i + 1) / 10), wchar_t(L'0' + (i + 1) % 10), 0};
        CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                        kGap + (i % kPerRow) * (kSize + kGap), kGap + (i / kPerRow) * (kSize + kGap), kSize, kSize,
                        pane, reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), instance, nullptr);
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    return RunFloorMessages();
}
