// The EditDialog, where a button is chosen and the texts are kept or dropped,
// and the TextEntryDialog, where one button's new text is typed.
#include <windows.h>
#include "kadenza.h"
#include "resource.h"
#include "registrynames.h"

INT_PTR CALLBACK EditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitShellDialog(dialog);
        for (int n = 1; n <= kButtonCount; ++n) {
            wchar_t text[kTextUnits] = {};
            GetDlgItemTextW(paletteDialog, IDC_BUTTON1 + n - 1, text, kTextUnits);
            SetDlgItemTextW(dialog, IDC_TWIN1 + n - 1, text);
        }
        captureAllowed = 0;
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;

    int id = LOWORD(wParam);
    switch (id) {
    case IDOK:
    case IDC_EDIT_OK:
        SaveButtonTexts(dialog);
        EndDialog(dialog, id);
        captureAllowed = 1;
        return TRUE;
    case IDCANCEL:
    case IDC_EDIT_CANCEL:
        EndDialog(dialog, id);
        captureAllowed = 1;
        return TRUE;
    case IDC_EDIT_DEFAULT:
        for (int n = 1; n <= kButtonCount; ++n)
            SetDlgItemTextW(dialog, IDC_TWIN1 + n - 1, DefaultButtonTexts[n - 1]);
        return TRUE;
    }
    if (id >= IDC_TWIN1 && id < IDC_TWIN1 + kButtonCount) {
        // The twin being edited travels as the TextEntryDialog's parameter.
        HWND editedButton = GetDlgItem(dialog, id);
        RunDialog(IDD_TEXTENTRY, paletteWindow, TextEntryDialogProc, reinterpret_cast<LPARAM>(editedButton));
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK TextEntryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    wchar_t source[kTextUnits] = {};
    wchar_t result[kTextUnits] = {};
    if (message == WM_INITDIALOG) {
        HWND editedButton = reinterpret_cast<HWND>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        InitShellDialog(dialog);
        GetWindowTextW(editedButton, source, kTextUnits);
        UnescapeAmpersands(source, result, kTextUnits);
        SetDlgItemTextW(dialog, IDC_ENTRY_TEXT, result);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    HWND editedButton = reinterpret_cast<HWND>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDC_ENTRY_OK:
        GetDlgItemTextW(dialog, IDC_ENTRY_TEXT, source, kTextUnits);
        EscapeAmpersands(source, result, kTextUnits);
        SetWindowTextW(editedButton, result);
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case IDCANCEL:
    case IDC_ENTRY_CANCEL:
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
