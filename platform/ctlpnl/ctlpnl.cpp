// The platform's control panel host, as far as the keyboard's control panel
// uses it: "cplmain.cpl, 9, 0" opens the sound settings page, whose check box
// switches the click for hardware buttons (HKCU "ControlPanel\Volume" "Key").
// Any other applet is not present here.
#include <windows.h>
#include "resource.h"

namespace {

const wchar_t kVolumeKey[] = L"ControlPanel\\Volume";
const wchar_t kKeyClick[] = L"Key";
const DWORD kKeyClickOn = 0x10002;  // click on, loud
const DWORD kKeyClickOff = 0;

bool IsKeyClickOn()
{
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kVolumeKey, kKeyClick, RRF_RT_REG_DWORD, nullptr, &value, &size)
        != ERROR_SUCCESS)
        return false;
    return value == 1 || value == kKeyClickOn;
}

void SetKeyClick(bool on)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kVolumeKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return;
    DWORD value = on ? kKeyClickOn : kKeyClickOff;
    RegSetValueExW(key, kKeyClick, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof(value));
    RegFlushKey(key);
    RegCloseKey(key);
}

INT_PTR CALLBACK SoundsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CheckDlgButton(dialog, IDC_HARDWARE_BUTTONS, IsKeyClickOn() ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_HARDWARE_BUTTONS:
            if (HIWORD(wParam) == BN_CLICKED)
                SetKeyClick(IsDlgButtonChecked(dialog, IDC_HARDWARE_BUTTONS) == BST_CHECKED);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// "cplmain.cpl, 9, 0": applet file, applet number, page; spaces and quotes
// around them do not matter.
bool IsSoundSettings(const wchar_t *args)
{
    wchar_t plain[64];
    size_t n = 0;
    for (const wchar_t *c = args; *c && n + 1 < ARRAYSIZE(plain); ++c)
        if (*c != L' ' && *c != L'"')
            plain[n++] = *c;
    plain[n] = 0;
    return !_wcsnicmp(plain, L"cplmain.cpl,9,", 14);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR args, int)
{
    if (!IsSoundSettings(args))
        return 1;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SOUNDS), nullptr, SoundsProc, 0);
    return 0;
}
