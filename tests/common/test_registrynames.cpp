// The registry vocabulary against the stored layout the programs share.
#include <gtest/gtest.h>
#include <string>
#include "controlcodes.h"
#include "registrynames.h"
#include "driverlink.h"

namespace {

TEST(SettingsStore, KeyPathsAndValueNames)
{
    struct Row {
        const wchar_t *name, *expected;
    };
    Row rows[] = {
        {kSettingsKeyPath, L"Software\\Corvane\\Pelorin"},
        {kSetupSettingsKeyPath, L"SOFTWARE\\Corvane\\Pelorin"},
        {kInstallKeyPath, L"SOFTWARE\\Apps\\Corvane Pelorin"},
        {kInstallDirValue, L"InstallDir"},
        {kActiveKeyFormatBelow10, L"\\Drivers\\Active\\0%d"},
        {kActiveKeyFormat, L"\\Drivers\\Active\\%d"},
        {kActiveNameValue, L"Name"},
        {kActiveHandleValue, L"Hnd"},
        {kKeyClickKeyPath, L"ControlPanel\\Volume"},
        {kKeyClickValue, L"Key"},
        {kBuiltInKeyPath, L"Drivers\\BuiltIn\\Pelorin"},
        {kKeyboardDeviceName, L"PLN1:"},
        {kBuiltInDll, L"DLL"},
        {kBuiltInPrefix, L"Prefix"},
        {kBuiltInIndex, L"Index"},
        {kBuiltInOrder, L"Order"},
        {kBuiltInDllData, L"Pelorin.dll"},
        {kBuiltInPrefixData, L"PLN"},
        {kButtonTextNameFormat, L"KZ%d"},
    };
    for (const Row &r : rows)
        EXPECT_STREQ(r.name, r.expected);
    EXPECT_EQ(kBuiltInIndexData, 1u);
    EXPECT_EQ(kBuiltInOrderData, 3u);
    EXPECT_EQ(kFirstActiveEntry, 1);
    EXPECT_EQ(kLastActiveEntry, 49);
}

TEST(SettingsStore, KeyboardSettingsDefaultsAndRanges)
{
    struct Row {
        const KeyboardSetting &s;
        const wchar_t *name;
        DWORD def, max;
    };
    Row rows[] = {{kStatusSetting, L"STATUS", 1, 1},
                  {kRepeatSetting, L"REPEAT", 2, 3},
                  {kDelaySetting, L"DELAY", 1, 2},
                  {kSoundSetting, L"SOUND", 0, 1},
                  {kCloseSkSetting, L"CLOSESK", 0, 1}};
    for (const Row &r : rows) {
        SCOPED_TRACE(std::string(r.name, r.name + wcslen(r.name)));
        EXPECT_STREQ(r.s.name, r.name);
        EXPECT_EQ(r.s.defaultValue, r.def);
        EXPECT_EQ(r.s.maxValue, r.max);
    }
    EXPECT_EQ(kSettingSize, 4u);
}

TEST(SettingsStore, DefaultTexts)
{
    // Caption form: the single ampersand of button 5 is written twice.
    const wchar_t *expected[38] = {
        L"\u007E",
        L"\u0023",
        L"\u0025",
        L"\u005E",
        L"\u0026\u0026",
        L"\u002A",
        L"\u0027",
        L"\u003D",
        L"\u005C",
        L"\u007C",
        L"\u003B",
        L"\u003C",
        L"\u003E",
        L"\u007B",
        L"\u007D",
        L"\u005B",
        L"\u005D",
        L"\u00A2",
        L"\u20AC",
        L"\u00A5",
        L"\u003A\u002D\u0029",
        L"\u003A\u002D\u0028",
        L"\u003B\u0029",
        L"\u003A\u007E\u0028",
        L"\u003A\u004F",
        L"\u003A\u0050",
        L"\u003A\u0044",
        L"\u003A\u002A",
        L"\u003A\u0078",
        L"\u0040\u002E\u0040",
        L"\u007E\u005F\u007E",
        L"\u0028\u005E\u002E\u005E\u0029",
        L"\u0024\u002E\u0024",
        L"\u002D\u005F\u002D\u002E\u002E\u002E",
        L"\u003E\u005F\u003C",
        L"\u0066\u002D\u005F\u002D",
        L"\u002A\u002E\u002A",
        L"\u002D\u005F\u006F\u003B",
    };
    ASSERT_EQ(kButtonCount, 38);
    for (int n = 0; n < kButtonCount; ++n)
        EXPECT_STREQ(DefaultButtonTexts[n], expected[n]) << "KZ" << n + 1;
    EXPECT_EQ(kDefaultTextSize, 14u);
    EXPECT_EQ(kSavedTextSize, 256u);
}

TEST(SettingsStore, ControlCodes)
{
    struct Row {
        DWORD code, expected;
    };
    Row rows[] = {{IOCTL_KBD_SET_STATE, 0x222006},
                  {IOCTL_KBD_SET_REPEAT_RATE, 0x22200A},
                  {IOCTL_KBD_SET_REPEAT_DELAY, 0x22200E},
                  {IOCTL_KBD_POLL_PALETTE_KEY, 0x222012},
                  {IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD, 0x22201A},
                  {KBD_STATE_OFF, 0},
                  {KBD_STATE_ON, 1},
                  {KBD_STATE_ON_WITH_CLICK, 2}};
    for (const Row &r : rows)
        EXPECT_EQ(r.code, r.expected);
}

}  // namespace
