// The 38 button texts on the palette: loaded from the store at start, saved
// from the EditDialog's twins.
#include <windows.h>
#include "kadenza.h"
#include "resource.h"
#include "textstore.h"

void LoadButtonTexts(HWND dialog)
{
    // When the key can be neither opened nor created, the template captions stay.
    HKEY store = OpenOrCreateTextStore();
    if (!store)
        return;
    SeedButtonTexts(store);
    for (int n = 1; n <= kButtonCount; ++n) {
        wchar_t caption[kTextUnits];
        ReadButtonText(store, n, caption);
        SetDlgItemTextW(dialog, IDC_BUTTON1 + n - 1, caption);
    }
    CloseTextStore(store);
}

void SaveButtonTexts(HWND editDialog)
{
    // Saving never makes the key: without it (removal deleted it under the
    // running palette) the palette still takes the captions, and nothing is
    // written.
    HKEY store = OpenTextStore();
    for (int n = 1; n <= kButtonCount; ++n) {
        wchar_t caption[kTextUnits] = {0};
        GetDlgItemTextW(editDialog, IDC_TWIN1 + n - 1, caption, kTextUnits);
        SetDlgItemTextW(paletteDialog, IDC_BUTTON1 + n - 1, caption);
        if (store)
            WriteButtonText(store, n, caption);
    }
    if (store)
        CloseTextStore(store);
}
