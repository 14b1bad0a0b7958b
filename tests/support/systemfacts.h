// The system's fixed data as the tests hold it: written out here once, as
// literals and apart from the code under test, so that a changed default,
// key code, text or id fails the suite. Plain data, so that the native fuzz
// build can read it too.
#ifndef TESTS_SUPPORT_SYSTEMFACTS_H
#define TESTS_SUPPORT_SYSTEMFACTS_H

#include <windows.h>

// The five keyboard settings in the order they are read: value name, default,
// and the largest valid value (the smallest is 0).
struct SettingFacts {
    const wchar_t *name;
    DWORD defaultValue;
    DWORD maxValue;
};
inline constexpr SettingFacts kSettingFacts[5] = {
    {L"STATUS", 1, 1}, {L"REPEAT", 2, 3}, {L"DELAY", 1, 2}, {L"SOUND", 0, 1}, {L"CLOSESK", 0, 1},
};

// The 38 palette buttons: the key code that selects button n, its caption in
// the palette template, its default text (caption form), and its place (x, y,
// width, height in dialog units) in the palette and edit templates.
struct ButtonFacts {
    DWORD key;
    const wchar_t *templateCaption;
    const wchar_t *defaultText;
    int palette[4];
    int edit[4];
};
inline constexpr ButtonFacts kButtons[38] = {
    {113, L"~", L"~", {3, 16, 11, 11}, {12, 36, 11, 11}},
    {119, L"#", L"#", {15, 14, 11, 11}, {24, 34, 11, 11}},
    {101, L"%", L"%", {27, 12, 11, 11}, {36, 32, 11, 11}},
    {114, L"^", L"^", {40, 11, 11, 11}, {49, 31, 11, 11}},
    {116, L"&&", L"&&", {54, 10, 11, 11}, {63, 30, 11, 11}},
    {121, L"*", L"*", {68, 10, 11, 11}, {77, 30, 11, 11}},
    {117, L"\u0060", L"\u0027", {81, 11, 11, 11}, {90, 31, 11, 11}},
    {105, L"=", L"=", {95, 12, 11, 11}, {103, 33, 11, 11}},
    {111, L"\u005C", L"\u005C", {108, 14, 11, 11}, {116, 34, 11, 11}},
    {112, L"\u007C", L"\u007C", {120, 16, 11, 11}, {128, 36, 11, 11}},
    {97, L";", L";", {3, 39, 11, 11}, {12, 60, 11, 11}},
    {115, L"<", L"<", {15, 37, 11, 11}, {24, 58, 11, 11}},
    {100, L">", L">", {27, 35, 11, 11}, {36, 56, 11, 11}},
    {102, L"{", L"{", {40, 34, 11, 11}, {49, 55, 11, 11}},
    {103, L"}", L"}", {54, 33, 11, 11}, {63, 54, 11, 11}},
    {104, L"[", L"[", {68, 33, 11, 11}, {77, 54, 11, 11}},
    {106, L"]", L"]", {81, 34, 11, 11}, {90, 55, 11, 11}},
    {107, L"", L"\u00A2", {95, 35, 11, 11}, {103, 56, 11, 11}},
    {108, L"", L"\u20AC", {108, 37, 11, 11}, {116, 58, 11, 11}},
    {11, L"", L"\u00A5", {120, 38, 11, 11}, {128, 60, 11, 11}},
    {122, L":-)", L":-)", {4, 61, 13, 11}, {14, 81, 13, 11}},
    {120, L":-(", L":-(", {18, 59, 13, 11}, {27, 79, 13, 11}},
    {99, L";)", L";)", {32, 57, 13, 11}, {41, 77, 13, 11}},
    {118, L":~(", L":~(", {46, 56, 13, 11}, {55, 76, 13, 11}},
    {98, L":O", L":O", {60, 55, 13, 11}, {69, 75, 13, 11}},
    {110, L":P", L":P", {74, 56, 13, 11}, {83, 76, 13, 11}},
    {109, L":D", L":D", {88, 57, 13, 11}, {97, 77, 13, 11}},
    {10, L":*", L":*", {102, 59, 13, 11}, {111, 79, 13, 11}},
    {12, L":x", L":x", {116, 61, 13, 11}, {125, 81, 13, 11}},
    {16, L"@.@", L"@.@", {7, 79, 22, 11}, {15, 100, 22, 11}},
    {27, L"~_~", L"~_~", {32, 77, 22, 11}, {40, 98, 22, 11}},
    {32, L"(^.^)", L"(^.^)", {56, 76, 22, 11}, {65, 96, 22, 11}},
    {5, L"~_~", L"$.$", {81, 77, 22, 11}, {90, 97, 22, 11}},
    {8, L"-_-...", L"-_-...", {106, 79, 22, 11}, {115, 100, 22, 11}},
    {18, L">_<", L">_<", {10, 93, 22, 11}, {17, 113, 22, 11}},
    {19, L"f-_-", L"f-_-", {36, 93, 22, 11}, {43, 113, 22, 11}},
    {20, L"*.*", L"*.*", {79, 93, 22, 11}, {88, 113, 22, 11}},
    {21, L"-_o;", L"-_o;", {104, 93, 22, 11}, {114, 113, 22, 11}},
};

// Control and command ids that the tests drive the built programs by.
namespace ids {
// The control panel's settings dialog.
const int kEnable = 1000, kDisable = 1001, kRepeat = 1002, kDelay = 1003, kClickSound = 1004, kCloseSoftKeyboard = 1029;
// The palette: button n is 1001 + n; the menu bar's "Edit"; the edit dialog's
// OK and its first button; the text entry's field and OK.
const int kButton1 = 1002, kQuit = 1040, kEditMenu = 401, kEditOk = 1042, kEditFirst = 1059, kEntryText = 1098,
          kEntryOk = 1055;
}  // namespace ids

#endif
