// Kadenza: a one-shot symbol picker for the hardware keyboard.
#include <windows.h>
#include "kadenza.h"

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPWSTR, int showCommand)
{
    if (FindRunningPalette(inst) || !StartPalette(inst, showCommand))
        return 0;
    // No dialog keyboard navigation: the palette is driven by taps and keys.
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
