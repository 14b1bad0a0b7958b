// TypeButtonText: a tap and a captured key both type the button's caption
// into the application behind the palette, then end the palette.
#include <windows.h>
#include <keybd.h>
#include "kadenza.h"
#include "resource.h"
#include "registrynames.h"

void TypeButtonText(HWND dialog, int button)
{
    // Hiding hands the front back to the application the text is for.
    SetWindowPos(paletteWindow, HWND_NOTOPMOST, 0, 0, kPaletteWidth, kPaletteHeight, SWP_NOMOVE | SWP_HIDEWINDOW);

    wchar_t caption[kTextUnits] = {0};
    GetWindowTextW(GetDlgItem(dialog, IDC_BUTTON1 + button - 1), caption, kTextUnits);
    UINT characters[kTextUnits - 1], shiftStates[kTextUnits - 1];
    UINT count = BuildCharacterList(caption, characters, shiftStates);
    PostKeybdMessage(reinterpret_cast<HWND>(-1), 0, KeyStateDownFlag, count, shiftStates, characters);

    SendMessageW(paletteWindow, WM_CLOSE, 0, 0);
}
