// The hooks around removal: close the system's running programs and unload
// the keyboard driver first, then delete the system's keys and shortcuts.
#include <windows.h>
#include <stdio.h>
#include "setuphooks.h"
#include "registrynames.h"

namespace {

// The palette is found by its class and title, both this name; the control
// panel by its title.
const wchar_t kPaletteName[] = L"Kadenza";
const wchar_t kControlPanelTitle[] = L"Corvane Pelorin";
// How long a program asked to close is waited for; one still running then
// stays, and the removal goes on without it.
const DWORD kCloseWaitMs = 5000;

// Asks each program showing such a window to close, as the user tapping its
// OK would, and waits for it to end. A window of the installer's own process
// is never asked, and one that stays after its turn ends the search.
void ClosePrograms(const wchar_t *className, const wchar_t *title)
{
    HWND asked = NULL;
    HWND window;
    while ((window = FindWindowW(className, title)) != NULL && window != asked) {
        asked = window;
        DWORD processId = 0;
        if (!GetWindowThreadProcessId(window, &processId) || processId == GetCurrentProcessId())
            return;
        HANDLE process = OpenProcess(0, FALSE, processId);
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        if (process) {
            WaitForSingleObject(process, kCloseWaitMs);
            CloseHandle(process);
        }
    }
}

}  // namespace

codeUNINSTALL_INIT Uninstall_Init(HWND hwndParent, LPCTSTR pszInstallDir)
{
    // A running program keeps its file and the settings key from removal:
    // each is asked to close before the driver goes.
    ClosePrograms(kPaletteName, kPaletteName);
    ClosePrograms(NULL, kControlPanelTitle);
    DeactivateKeyboardDriver();
    return codeUNINSTALL_INIT_CONTINUE;
}

codeUNINSTALL_EXIT Uninstall_Exit(HWND hwndParent)
{
    // Either key may already be gone; both deletions are made.
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kSetupSettingsKeyPath);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kBuiltInKeyPath);
    DeleteShortcuts();
    return codeUNINSTALL_EXIT_DONE;
}

int DeactivateKeyboardDriver()
{
    wchar_t keyPath[512];
    wchar_t name[512];
    DWORD driverHandle = 0;
    bool found = false;

    for (int i = kFirstActiveEntry; i <= kLastActiveEntry && !found; ++i) {
        // Entry names are always two digits: 01 to 09, then 10 to 49.
        // A name that would not fit with its zero is refused, not cut.
        int written = _snwprintf(keyPath, COUNTOF(keyPath), i < 10 ? kActiveKeyFormatBelow10 : kActiveKeyFormat, i);
        if (written < 0 || static_cast<size_t>(written) >= COUNTOF(keyPath))
            continue;
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, 0, &key) != ERROR_SUCCESS)
            continue;
        ZeroMemory(name, sizeof(name));
        DWORD size = sizeof(name);
        // The name is compared within the buffer, whether or not it was read
        // with its terminating zero.
        if (RegQueryValueExW(key, kActiveNameValue, NULL, NULL, reinterpret_cast<BYTE *>(name), &size) == ERROR_SUCCESS
            && IsKeyboardDeviceName(name, COUNTOF(name))) {
            size = sizeof(driverHandle);
            found = RegQueryValueExW(key, kActiveHandleValue, NULL, NULL, reinterpret_cast<BYTE *>(&driverHandle),
                                     &size)
                    == ERROR_SUCCESS;
        }
        RegCloseKey(key);
    }

    if (!found)
        return 0;
    return DeactivateDevice(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(driverHandle))) ? 1 : 0;
}
