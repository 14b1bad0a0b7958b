// The registry vocabulary shared by the control panel, the palette, the driver
// starter and the setup hooks: every key path, value name, type, size, default
// and valid range, spelled once.
#ifndef COMMON_REGISTRYNAMES_H
#define COMMON_REGISTRYNAMES_H

#include <windows.h>

// ---- Keys (HKEY_LOCAL_MACHINE unless noted) ----

// The settings key, as the control panel and the palette spell it...
extern const wchar_t kSettingsKeyPath[];  // "Software\Corvane\Pelorin"
// ...and as the setup hooks spell it; key names compare without case.
extern const wchar_t kSetupSettingsKeyPath[];  // "SOFTWARE\Corvane\Pelorin"
// The installer's key of this package and its folder value.
extern const wchar_t kInstallKeyPath[];   // "SOFTWARE\Apps\Corvane Pelorin"
extern const wchar_t kInstallDirValue[];  // "InstallDir"
// Active-driver entries, two-digit numbers 01 to 49, leading backslash.
extern const wchar_t kActiveKeyFormatBelow10[];  // "\Drivers\Active\0%d"
extern const wchar_t kActiveKeyFormat[];         // "\Drivers\Active\%d"
const int kFirstActiveEntry = 1;
const int kLastActiveEntry = 49;
extern const wchar_t kActiveNameValue[];    // "Name", REG_SZ
extern const wchar_t kActiveHandleValue[];  // "Hnd", REG_DWORD
// HKEY_CURRENT_USER: the platform's click for hardware buttons.
extern const wchar_t kKeyClickKeyPath[];  // "ControlPanel\Volume"
extern const wchar_t kKeyClickValue[];    // "Key"

// ---- The keyboard driver ----

// "Drivers\BuiltIn\Pelorin", no leading backslash: handed to ActivateDevice
// and used as the registry path of the driver's built-in key.
extern const wchar_t kBuiltInKeyPath[];
extern const wchar_t kKeyboardDeviceName[];  // "PLN1:"

extern const wchar_t kBuiltInDll[];                // "DLL", REG_SZ
extern const wchar_t kBuiltInPrefix[];             // "Prefix", REG_SZ
extern const wchar_t kBuiltInIndex[];              // "Index", REG_DWORD
extern const wchar_t kBuiltInOrder[];              // "Order", REG_DWORD
const wchar_t kBuiltInDllData[] = L"Pelorin.dll";  // 24 bytes with its zero
const wchar_t kBuiltInPrefixData[] = L"PLN";       // 8 bytes with its zero
const DWORD kBuiltInIndexData = 1;
const DWORD kBuiltInOrderData = 3;

// ---- The five keyboard settings: REG_DWORD, 4 bytes ----

struct KeyboardSetting {
    const wchar_t *name;
    DWORD defaultValue;
    DWORD maxValue;  // valid values are 0 to maxValue, compared unsigned
};

extern const KeyboardSetting kStatusSetting;   // "STATUS"  1, 0..1
extern const KeyboardSetting kRepeatSetting;   // "REPEAT"  2, 0..3
extern const KeyboardSetting kDelaySetting;    // "DELAY"   1, 0..2
extern const KeyboardSetting kSoundSetting;    // "SOUND"   0, 0..1
extern const KeyboardSetting kCloseSkSetting;  // "CLOSESK" 0, 0..1
const DWORD kSettingSize = sizeof(DWORD);

inline bool IsValidSetting(const KeyboardSetting &setting, DWORD value) { return value <= setting.maxValue; }

// ---- The palette's 38 button texts: REG_SZ "KZ1" to "KZ38", caption form ----

const int kButtonCount = 38;
const int kTextUnits = 128;                                 // 127 units and a zero
const DWORD kSavedTextSize = kTextUnits * sizeof(wchar_t);  // 256 bytes
const int kDefaultTextUnits = 7;
const DWORD kDefaultTextSize = kDefaultTextUnits * sizeof(wchar_t);  // 14 bytes
extern const wchar_t kButtonTextNameFormat[];                        // "KZ%d", button number without zeros
// Entry n-1 is the default of button n: the text in caption form ("&" written
// "&&"), zero-padded to 7 units.
extern const wchar_t DefaultButtonTexts[kButtonCount][kDefaultTextUnits];

// ---- The platform's key click ----

// The click for hardware buttons counts as on for exactly 1 and 0x10002.
inline bool IsKeyClickValueOn(DWORD value) { return value == 1 || value == 0x10002; }

#endif
