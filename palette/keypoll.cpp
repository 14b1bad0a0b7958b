// The key poll: every tick asks the driver for a key captured for the
// palette, and captures only while the palette is in front and not editing.
#include <windows.h>
#include "kadenza.h"
#include "controlcodes.h"
#include "driverlink.h"
#include "registrynames.h"

namespace {

// KeyButtonMap: entry n-1 is the key code that selects button n, the key whose
// label the button sits below.
const DWORD KeyButtonMap[kButtonCount] = {
    113, 119, 101, 114, 116, 121, 117, 105, 111, 112,  // q w e r t y u i o p
    97,  115, 100, 102, 103, 104, 106, 107, 108, 11,   // a s d f g h j k l, up
    122, 120, 99,  118, 98,  110, 109, 10,  12,        // z x c v b n m, return, down
    16,  27,  32,  5,   8,                             // row 4
    18,  19,  20,  21,                                 // row 5
};
const DWORD kFirstIgnoredKey = 127;

bool CaptureOpen() { return captureAllowed == 1 && GetForegroundWindow() == paletteWindow; }

}  // namespace

int ButtonForKey(DWORD keyCode)
{
    for (int n = 1; n <= kButtonCount; ++n)
        if (KeyButtonMap[n - 1] == keyCode)
            return n;
    return 0;
}

void PollKey()
{
    DWORD request = CaptureOpen() ? 1 : 0;
    DWORD reply = 0, returned = 0;
    DeviceIoControl(deviceHandle, IOCTL_KBD_POLL_PALETTE_KEY, &request, sizeof(request), &reply, sizeof(reply),
                    &returned, NULL);
    if (reply == 0 || reply >= kFirstIgnoredKey)
        return;
    // The front may have changed while the driver answered.
    if (!CaptureOpen())
        return;
    if (reply == kQuitKey) {
        DestroyWindow(paletteWindow);
        return;
    }
    if (int button = ButtonForKey(reply))
        TypeButtonText(paletteDialog, button);
}
