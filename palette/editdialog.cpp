// The EditDialog, where a button is chosen and the texts are kept or dropped,
// and the TextEntryDialog, where one button's new text is typed.
#include <windows.h>
#include "kadenza.h"
#include "resource.h"
#include "registrynames.h"

HWND editedButton;

namespace {

// Each twin starts with its palette button's caption; no key is captured.
void InitEditDialog(HWND dialog)
{
    InitShellDialog(dialog);
    for (int n = 1; n <= kButtonCount; ++n) {
        wchar_t text[kTextUnits] = {0};
        GetDlgItemTextW(paletteDialog, IDC_BUTTON1 + n - 1, text, kTextUnits);
        SetDlgItemTextW(dialog, IDC_TWIN1 + n - 1, text);
    }
    captureAllowed = 0;
}

// OK and the Done control: the twins' texts go to the palette and the store.
void OnEditOk(HWND dialog, int id)
{
    SaveButtonTexts(dialog);
    EndDialog(dialog, id);
    captureAllowed = 1;
}

// Cancel: the edits are dropped.
void OnEditCancel(HWND dialog, int id)
{
    EndDialog(dialog, id);
    captureAllowed = 1;
}

// Default: the twins show the defaults; nothing changes until OK.
void OnDefault(HWND dialog)
{
    for (int n = 1; n <= kButtonCount; ++n)
        SetDlgItemTextW(dialog, IDC_TWIN1 + n - 1, DefaultButtonTexts[n - 1]);
}

// A twin: its new text is typed in the TextEntryDialog.
void OnTwin(HWND dialog, int id)
{
    editedButton = GetDlgItem(dialog, id);
    RunDialog(IDD_TEXTENTRY, paletteWindow, TextEntryDialogProc);
}

bool OnEditCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
    case IDC_EDIT_OK:
        OnEditOk(dialog, id);
        return true;
    case IDCANCEL:
    case IDC_EDIT_CANCEL:
        OnEditCancel(dialog, id);
        return true;
    case IDC_EDIT_DEFAULT:
        OnDefault(dialog);
        return true;
    }
    if (id >= IDC_TWIN1 && id < IDC_TWIN1 + kButtonCount) {
        OnTwin(dialog, id);
        return true;
    }
    return false;
}

// The entry shows the twin's caption as plain text: "&&" as one "&".
void InitTextEntry(HWND dialog)
{
    InitShellDialog(dialog);
    wchar_t source[kTextUnits] = {0};
    wchar_t result[kTextUnits] = {0};
    GetWindowTextW(editedButton, source, kTextUnits);
    UnescapeAmpersands(source, result, kTextUnits);
    SetDlgItemTextW(dialog, IDC_ENTRY_TEXT, result);
}

// OK: the typed text, in caption form, becomes the twin's caption.
void OnEntryOk(HWND dialog, int id)
{
    wchar_t source[kTextUnits] = {0};
    wchar_t result[kTextUnits] = {0};
    GetDlgItemTextW(dialog, IDC_ENTRY_TEXT, source, kTextUnits);
    EscapeAmpersands(source, result, kTextUnits);
    SetWindowTextW(editedButton, result);
    EndDialog(dialog, id);
}

}  // namespace

INT_PTR CALLBACK EditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitEditDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnEditCommand(dialog, LOWORD(wParam)) ? TRUE : FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK TextEntryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        InitTextEntry(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    int id = LOWORD(wParam);
    if (id == IDOK || id == IDC_ENTRY_OK)
        OnEntryOk(dialog, id);
    else if (id == IDCANCEL || id == IDC_ENTRY_CANCEL)
        EndDialog(dialog, id);  // the twin keeps its caption
    else
        return FALSE;
    return TRUE;
}
