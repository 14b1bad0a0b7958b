// Kadenza, the symbol palette: program-wide state and operations.
#ifndef PALETTE_KADENZA_H
#define PALETTE_KADENZA_H

#include <windows.h>
#include "captiontext.h"

const UINT_PTR kKeyPollTimer = 666;
const UINT kKeyPollInterval = 5;  // ms
const int kPaletteX = 20, kPaletteY = 80, kPaletteWidth = 203, kPaletteHeight = 195;
const int kTitleUnits = 100;
const DWORD kQuitKey = 15;

// What start-up records besides the palette's named handles and flag.
struct PaletteProgram {
    HINSTANCE instance;
    wchar_t title[kTitleUnits];
    wchar_t className[kTitleUnits];
    HWND menuBar;  // null when SHCreateMenuBar failed
};
extern PaletteProgram program;
extern HWND paletteWindow;
extern HWND paletteDialog;
extern DWORD captureAllowed;
// The EditDialog twin whose text the TextEntryDialog changes.
extern HWND editedButton;

// Start-up, up to the message loop. FindRunningPalette loads the title and
// class name and brings a running palette to the front, also one that is
// still starting; true when this palette is to end at once. StartPalette
// creates the window, opens the device and starts the key poll.
bool FindRunningPalette(HINSTANCE inst);
bool StartPalette(HINSTANCE inst, int showCommand);

LRESULT CALLBACK PaletteWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PaletteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK EditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TextEntryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A dialog template of the program's resources, or null when it is missing.
LPCDLGTEMPLATEW FindDialogTemplate(int templateId);
// A modal dialog from a template of the program.
INT_PTR RunDialog(int templateId, HWND parent, DLGPROC procedure);
// The shell's full-screen layout with a Done control, keyboard panel down.
void InitShellDialog(HWND dialog);

// The key poll, one WM_TIMER tick.
void PollKey();
// The palette button (1 to 38) that a key code selects, or 0.
int ButtonForKey(DWORD keyCode);
// Hides the palette, types button n's caption into the window in front, ends.
void TypeButtonText(HWND dialog, int button);

void LoadButtonTexts(HWND dialog);
void SaveButtonTexts(HWND editDialog);

#endif
