// navbar: the Pocket PC shell's navigation bar, the 26-pixel strip across the
// top of the screen that shows the title of the program in front. The work
// area, in which dialogs are centred and message boxes placed, lies below it.
//
// Wine's virtual desktop takes the work area from a visible window of the
// taskbar's class ("Shell_TrayWnd"): at the top of the screen, the work area
// begins at its bottom, in every process. SPI_SETWORKAREA alone would change
// it for this process only.
//
//   navbar        runs until it is closed (WM_CLOSE) or its process ends
#include <windows.h>

namespace {

const wchar_t kClass[] = L"Shell_TrayWnd";
// Its own text, which no program's window has: the title it shows is drawn.
const wchar_t kTitle[] = L"Navigation bar";
const int kHeight = 26;
const UINT_PTR kTimer = 1;
const UINT kPollMs = 200;
const COLORREF kBack = RGB(0x00, 0x33, 0x99);
const COLORREF kInk = RGB(0xFF, 0xFF, 0xFF);

wchar_t shown[256];
HFONT font;

// The title of the window in front, or of the nearest owner that has one (a
// dialog without a caption belongs to its program's title).
void ForegroundTitle(HWND bar, wchar_t *title, int size)
{
    title[0] = 0;
    for (HWND w = GetForegroundWindow(); w && w != bar && !title[0]; w = GetWindow(w, GW_OWNER))
        GetWindowTextW(w, title, size);
}

LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER: {
        wchar_t title[256];
        ForegroundTitle(bar, title, 256);
        if (lstrcmpW(title, shown)) {
            lstrcpynW(shown, title, 256);
            InvalidateRect(bar, nullptr, TRUE);
            // The window that came to the front lies above the bar on the X
            // side, though not in Wine's own order, where the bar stays first
            // and a move to the top changes nothing: out of the topmost band
            // and back restacks it.
            SetWindowPos(bar, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            SetWindowPos(bar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        return 0;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(bar, &r);
        HBRUSH back = CreateSolidBrush(kBack);
        FillRect(reinterpret_cast<HDC>(wParam), &r, back);
        DeleteObject(back);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(bar, &ps);
        RECT r;
        GetClientRect(bar, &r);
        r.left += 8;
        r.right -= 8;
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kInk);
        DrawTextW(dc, shown, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, old);
        EndPaint(bar, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(bar, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    if (FindWindowW(kClass, kTitle))
        return 0;
    WNDCLASSW cls = {};
    cls.lpfnWndProc = BarProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    cls.lpszClassName = kClass;
    if (!RegisterClassW(&cls))
        return 1;
    font = CreateFontW(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    // Never activated and never handed the front when a program hides.
    HWND bar = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClass, kTitle,
                               WS_POPUP | WS_VISIBLE, 0, 0, width, kHeight, nullptr, nullptr, instance, nullptr);
    if (!bar)
        return 1;
    // As the device's shell announces it; Wine keeps it for this process.
    RECT work = {0, kHeight, width, height};
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0);
    SetTimer(bar, kTimer, kPollMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    DeleteObject(font);
    return 0;
}
