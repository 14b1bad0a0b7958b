// The registry vocabulary against the stored layout the programs share.
#include <gtest/gtest.h>
#include <string>
#include "controlcodes.h"
#include "registrynames.h"
#include "driverlink.h"
#include "systemfacts.h"

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
    const KeyboardSetting *settings[] = {&kStatusSetting, &kRepeatSetting, &kDelaySetting, &kSoundSetting,
                                         &kCloseSkSetting};
    for (int i = 0; i < 5; ++i) {
        const SettingFacts &facts = kSettingFacts[i];
        SCOPED_TRACE(std::string(facts.name, facts.name + wcslen(facts.name)));
        EXPECT_STREQ(settings[i]->name, facts.name);
        EXPECT_EQ(settings[i]->defaultValue, facts.defaultValue);
        EXPECT_EQ(settings[i]->maxValue, facts.maxValue);
    }
    EXPECT_EQ(kSettingSize, 4u);
}

TEST(SettingsStore, DefaultTexts)
{
    // Caption form: the single ampersand of button 5 is written twice.
    ASSERT_EQ(kButtonCount, 38);
    for (int n = 0; n < kButtonCount; ++n)
        EXPECT_STREQ(DefaultButtonTexts[n], kButtons[n].defaultText) << "KZ" << n + 1;
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
