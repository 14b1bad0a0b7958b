// The PaletteWindow: start-up, the menu bar and the palette dialog laid on
// the client area, menu commands, the About box, and shutdown.
#include <windows.h>
#include <aygshell.h>
#include "kadenza.h"
#include "resource.h"
#include "controlcodes.h"
#include "driverlink.h"
#include "registrynames.h"

PaletteProgram program;
HWND paletteWindow;
HWND paletteDialog;
DWORD captureAllowed = 1;

namespace {

// Held by the palette that starts, from before its window exists to its end,
// so that palettes started together find out which one goes on.
const wchar_t kPaletteMutexName[] = L"Kadenza single instance";
const DWORD kWaitStep = 50;      // ms between looks for the first palette's window
const DWORD kWaitLimit = 10000;  // ms; then this palette ends without a window
HANDLE paletteMutex;
bool paletteMutexOwned;

// True when this palette is the one to go on: it took the lock, or found it
// left behind by a palette that died holding it. Otherwise *running is the
// window of the palette that holds the lock once it shows, or null when none
// showed in time; either way this palette opens no window.
bool TakeStartLock(HWND *running)
{
    *running = NULL;
    if (paletteMutexOwned)
        return true;
    if (!paletteMutex)
        paletteMutex = CreateMutexW(NULL, FALSE, kPaletteMutexName);
    if (!paletteMutex)
        return true;  // no lock to share: the window alone decides
    DWORD start = GetTickCount();
    for (;;) {
        DWORD rc = WaitForSingleObject(paletteMutex, kWaitStep);
        if (rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED) {
            paletteMutexOwned = true;
            return true;
        }
        *running = FindWindowW(program.className, program.title);
        if (*running || rc != WAIT_TIMEOUT || GetTickCount() - start >= kWaitLimit)
            return false;
    }
}

void ReleasePaletteMutex()
{
    if (paletteMutexOwned)
        ReleaseMutex(paletteMutex);
    paletteMutexOwned = false;
    if (paletteMutex)
        CloseHandle(paletteMutex);
    paletteMutex = NULL;
}

}  // namespace

bool FindRunningPalette(HINSTANCE inst)
{
    LoadStringW(inst, IDS_TITLE, program.title, kTitleUnits);
    LoadStringW(inst, IDS_CLASS, program.className, kTitleUnits);
    HWND running = FindWindowW(program.className, program.title);
    if (!running && TakeStartLock(&running))
        return false;
    if (running)
        SetForegroundWindow(running);
    return true;
}

bool StartPalette(HINSTANCE inst, int showCommand)
{
    program.instance = inst;
    WNDCLASSW wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = PaletteWindowProc;
    wc.hInstance = inst;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = program.className;
    RegisterClassW(&wc);

    HWND window = CreateWindowExW(WS_EX_CAPTIONOKBTN, program.className, program.title, WS_VISIBLE | WS_CAPTION,
                                  kPaletteX, kPaletteY, kPaletteWidth, kPaletteHeight, NULL, NULL, inst, NULL);
    if (!window)
        return false;
    paletteWindow = window;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    OpenKeyboardDevice(BRINGUP_ACTIVATE_ONCE);
    SetTimer(window, kKeyPollTimer, kKeyPollInterval, NULL);
    return true;
}

namespace {

void CreatePaletteContents(HWND window)
{
    paletteWindow = window;

    SHMENUBARINFO mbi;
    ZeroMemory(&mbi, sizeof(mbi));
    mbi.cbSize = sizeof(mbi);
    mbi.hwndParent = window;
    mbi.dwFlags = 0;
    mbi.nToolBarId = IDM_MENU;
    mbi.hInstRes = program.instance;
    if (!SHCreateMenuBar(&mbi))
        MessageBoxW(window, L"SHCreateMenuBar Failed", L"Error", MB_OK);
    program.menuBar = mbi.hwndMB;

    RECT client;
    GetClientRect(window, &client);
    LPCDLGTEMPLATEW dialogTemplate = FindDialogTemplate(IDD_PALETTE);
    HWND dialog = dialogTemplate
                      ? CreateDialogIndirectParamW(program.instance, dialogTemplate, window, PaletteDialogProc, 0)
                      : NULL;
    if (!dialog)
        return;
    MoveWindow(dialog, client.left, client.top, client.right - client.left, client.bottom - client.top, TRUE);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
}

void ShutDown(HWND window)
{
    if (paletteDialog)
        DestroyWindow(paletteDialog);
    paletteDialog = NULL;
    if (program.menuBar)
        DestroyWindow(program.menuBar);
    program.menuBar = NULL;
    KillTimer(window, kKeyPollTimer);

    // The last poll tells the driver to stop capturing keys for us.
    DWORD request = 0, reply = 0, returned = 0;
    DeviceIoControl(deviceHandle, IOCTL_KBD_POLL_PALETTE_KEY, &request, sizeof(request), &reply, sizeof(reply),
                    &returned, NULL);
    if (deviceHandle != INVALID_HANDLE_VALUE)
        CloseHandle(deviceHandle);
    deviceHandle = INVALID_HANDLE_VALUE;
    paletteWindow = NULL;
    ReleasePaletteMutex();
    PostQuitMessage(0);
}

}  // namespace

LRESULT CALLBACK PaletteWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreatePaletteContents(window);
        return 0;
    case WM_TIMER:
        if (wParam == kKeyPollTimer)
            PollKey();
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_EDIT:
            RunDialog(IDD_EDIT, window, EditDialogProc);
            return 0;
        case IDM_ABOUT:
            RunDialog(IDD_ABOUT, window, AboutDialogProc);
            return 0;
        case IDOK:
        case IDCANCEL:
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        ShutDown(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

INT_PTR CALLBACK PaletteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        paletteDialog = dialog;
        LoadButtonTexts(dialog);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id >= IDC_BUTTON1 && id < IDC_BUTTON1 + kButtonCount)
            TypeButtonText(dialog, id - IDC_BUTTON1 + 1);
        else
            SendMessageW(paletteWindow, WM_CLOSE, 0, 0);
        return TRUE;
    }
    }
    return FALSE;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitShellDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}
