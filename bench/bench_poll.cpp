// Measures what the palette's key poll costs and how often it can run here:
// the rate of a 5 ms window timer (desktop Win32 raises it to 10 ms) and the
// time of one IOCTL_KBD_POLL_PALETTE_KEY round trip through the device
// manager to the stand-in driver.
#include <windows.h>
#include <stdio.h>
#include "controlcodes.h"
#include "driverlink.h"

namespace {

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f)
{
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

void MeasureTimer()
{
    HWND window = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetTimer(window, 666, 5, nullptr);
    LARGE_INTEGER f, start, now;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&start);
    int ticks = 0;
    MSG msg;
    do {
        if (GetMessageW(&msg, nullptr, 0, 0) && msg.message == WM_TIMER)
            ++ticks;
        QueryPerformanceCounter(&now);
    } while (Seconds(start, now, f) < 2.0);
    KillTimer(window, 666);
    DestroyWindow(window);
    double seconds = Seconds(start, now, f);
    printf("timer 5 ms: %d ticks in %.2f s = %.1f Hz\n", ticks, seconds, ticks / seconds);
}

void MeasurePoll()
{
    OpenKeyboardDevice(BRINGUP_ENSURE_ACTIVE);
    if (deviceHandle == INVALID_HANDLE_VALUE) {
        printf("poll: the device did not open\n");
        return;
    }
    const int rounds = 2000;
    LARGE_INTEGER f, start, end;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i) {
        DWORD request = 1, reply = 0, bytes = 0;
        DeviceIoControl(deviceHandle, IOCTL_KBD_POLL_PALETTE_KEY, &request, 4, &reply, 4, &bytes, nullptr);
    }
    QueryPerformanceCounter(&end);
    double seconds = Seconds(start, end, f);
    printf("poll round trip: %d in %.2f s = %.0f us each (%.1f%% of a 5 ms tick)\n", rounds, seconds,
           seconds / rounds * 1e6, seconds / rounds / 0.005 * 100);
    CloseHandle(deviceHandle);
}

}  // namespace

int main()
{
    MeasureTimer();
    MeasurePoll();
    return 0;
}
