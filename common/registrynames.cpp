#include <windows.h>
#include "registrynames.h"

const wchar_t kSettingsKeyPath[] = L"Software\\Corvane\\Pelorin";
const wchar_t kSetupSettingsKeyPath[] = L"SOFTWARE\\Corvane\\Pelorin";
const wchar_t kInstallKeyPath[] = L"SOFTWARE\\Apps\\Corvane Pelorin";
const wchar_t kInstallDirValue[] = L"InstallDir";
const wchar_t kActiveKeyFormatBelow10[] = L"\\Drivers\\Active\\0%d";
const wchar_t kActiveKeyFormat[] = L"\\Drivers\\Active\\%d";
const wchar_t kActiveNameValue[] = L"Name";
const wchar_t kActiveHandleValue[] = L"Hnd";
const wchar_t kKeyClickKeyPath[] = L"ControlPanel\\Volume";
const wchar_t kKeyClickValue[] = L"Key";

const wchar_t kBuiltInKeyPath[] = L"Drivers\\BuiltIn\\Pelorin";
const wchar_t kKeyboardDeviceName[] = L"PLN1:";
const wchar_t kBuiltInDll[] = L"DLL";
const wchar_t kBuiltInPrefix[] = L"Prefix";
const wchar_t kBuiltInIndex[] = L"Index";
const wchar_t kBuiltInOrder[] = L"Order";

const KeyboardSetting kStatusSetting = {L"STATUS", 1, 1};
const KeyboardSetting kRepeatSetting = {L"REPEAT", 2, 3};
const KeyboardSetting kDelaySetting = {L"DELAY", 1, 2};
const KeyboardSetting kSoundSetting = {L"SOUND", 0, 1};
const KeyboardSetting kCloseSkSetting = {L"CLOSESK", 0, 1};

const wchar_t kButtonTextNameFormat[] = L"KZ%d";

const wchar_t DefaultButtonTexts[kButtonCount][kDefaultTextUnits] = {
    L"~",  L"#",  L"%",  L"^",   L"&&",     L"*",      L"'",      L"=",      L"\\",  L"|",    L";",   L"<",    L">",
    L"{",  L"}",  L"[",  L"]",   L"\x00A2", L"\x20AC", L"\x00A5", L":-)",    L":-(", L";)",   L":~(", L":O",   L":P",
    L":D", L":*", L":x", L"@.@", L"~_~",    L"(^.^)",  L"$.$",    L"-_-...", L">_<", L"f-_-", L"*.*", L"-_o;",
};
