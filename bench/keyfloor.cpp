// The floor of the hardware key's way into an application: the least a
// program does on the palette's path, with nothing of the palette. One bare
// window titled "BenchKey" at the palette's place; every 5 ms it asks the
// driver for a captured key (IOCTL_KBD_POLL_PALETTE_KEY through the device
// manager, capturing while in front); on a key it hides, which hands the
// front to the window behind, posts the key's character there with
// PostKeybdMessage, and ends. Built on the platform layer, as the palette.
#include <windows.h>
#include <keybd.h>
#include "controlcodes.h"
#include "driverlink.h"
#include "floorwindow.h"

namespace {

const UINT_PTR kPollTimer = 1;
const UINT kPollInterval = 5;  // ms, the palette's
const DWORD kFirstIgnoredKey = 127;

DWORD Poll(DWORD capture)
{
    DWORD reply = 0, returned = 0;
    DeviceIoControl(deviceHandle, IOCTL_KBD_POLL_PALETTE_KEY, &capture, sizeof(capture), &reply, sizeof(reply),
                    &returned, nullptr);
    return reply;
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER: {
        UINT key = Poll(GetForegroundWindow() == window ? 1 : 0);
        if (key == 0 || key >= kFirstIgnoredKey || GetForegroundWindow() != window)
            return 0;
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, kFloorWidth, kFloorHeight, SWP_NOMOVE | SWP_HIDEWINDOW);
        UINT shift = KeyStateDownFlag;
        PostKeybdMessage(reinterpret_cast<HWND>(-1), 0, KeyStateDownFlag, 1, &shift, &key);
        DestroyWindow(window);
        return 0;
    }
    case WM_DESTROY:
        // The driver stops capturing for us, as at the palette's end.
        KillTimer(window, kPollTimer);
        Poll(0);
        if (deviceHandle != INVALID_HANDLE_VALUE)
            CloseHandle(deviceHandle);
        deviceHandle = INVALID_HANDLE_VALUE;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The device opened as the palette opens it, then the poll.
void StartPolling(HWND window, LPCWSTR)
{
    OpenKeyboardDevice(BRINGUP_ACTIVATE_ONCE);
    SetTimer(window, kPollTimer, kPollInterval, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show)
{
    return RunBareFloor(instance, L"BenchKey", FloorProc, show, StartPolling, commandLine);
}
