// PelorinStart: makes sure the keyboard driver is loaded, then ends.
// It has no window, ignores its command line and always exits with 0.
#include <windows.h>
#include "driverlink.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    EnsureDriverActive();
    return 0;
}
