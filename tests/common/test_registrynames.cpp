// The registry vocabulary against the stored layout the programs share.
#include <gtest/gtest.h>
#include <string>
#include "controlcodes.h"
#include "registrynames.h"
#include "driverlink.h"

namespace {

TEST(SettingsStore, KeyPathsAndValueNames)
{
    EXPECT_STREQ(kSettingsKeyPath, L"Software\\Corvane\\Pelorin");
    EXPECT_EQ(lstrcmpiW(kSettingsKeyPath, kSetupSettingsKeyPath), 0) << "one key, two spellings";
    EXPECT_STRNE(kSettingsKeyPath, kSetupSettingsKeyPath);
    EXPECT_STREQ(kBuiltInKeyPath, L"Drivers\\BuiltIn\\Pelorin");
    EXPECT_STREQ(kKeyboardDeviceName, L"PLN1:");
    EXPECT_STREQ(kInstallKeyPath, L"SOFTWARE\\Apps\\Corvane Pelorin");
    EXPECT_STREQ(kKeyClickKeyPath, L"ControlPanel\\Volume");
}

TEST(SettingsStore, KeyboardSettingsDefaultsAndRanges)
{
    struct Row { const KeyboardSetting &s; const wchar_t *name; DWORD def, max; };
    Row rows[] = {{kStatusSetting, L"STATUS", 1, 1}, {kRepeatSetting, L"REPEAT", 2, 3}, {kDelaySetting, L"DELAY", 1, 2},
                  {kSoundSetting, L"SOUND", 0, 1}, {kCloseSkSetting, L"CLOSESK", 0, 1}};
    for (const Row &r : rows) {
        SCOPED_TRACE(std::string(r.name, r.name + wcslen(r.name)));
        EXPECT_STREQ(r.s.name, r.name);
        EXPECT_EQ(r.s.defaultValue, r.def);
        EXPECT_TRUE(IsValidSetting(r.s, r.s.defaultValue));
        EXPECT_TRUE(IsValidSetting(r.s, r.max));
        EXPECT_FALSE(IsValidSetting(r.s, r.max + 1));
        EXPECT_FALSE(IsValidSetting(r.s, 0xFFFFFFFFu)) << "compared unsigned";
    }
    EXPECT_EQ(kSettingSize, 4u);
}

TEST(SettingsStore, DefaultTextsFitTheirSlots)
{
    static_assert(sizeof(DefaultButtonTexts) == 38 * 14, "38 slots of 14 bytes");
    for (int n = 0; n < kButtonCount; ++n) {
        SCOPED_TRACE(n + 1);
        size_t length = wcsnlen(DefaultButtonTexts[n], kDefaultTextUnits);
        EXPECT_GT(length, 0u);
        EXPECT_LT(length, size_t(kDefaultTextUnits)) << "a zero follows every text";
        for (size_t i = length; i < size_t(kDefaultTextUnits); ++i)
            EXPECT_EQ(DefaultButtonTexts[n][i], 0) << "zero padded";
    }
    EXPECT_STREQ(DefaultButtonTexts[4], L"&&") << "a single & in caption form";
    EXPECT_STREQ(DefaultButtonTexts[6], L"'");
    EXPECT_STREQ(DefaultButtonTexts[17], L"\u00A2");
    EXPECT_STREQ(DefaultButtonTexts[18], L"\u20AC");
    EXPECT_STREQ(DefaultButtonTexts[19], L"\u00A5");
    EXPECT_STREQ(DefaultButtonTexts[32], L"$.$");
    EXPECT_STREQ(DefaultButtonTexts[33], L"-_-...");
    EXPECT_STREQ(DefaultButtonTexts[37], L"-_o;");
    EXPECT_EQ(kDefaultTextSize, 14u);
    EXPECT_EQ(kSavedTextSize, 256u);
}

TEST(SettingsStore, ValueNamesAreFormattedWithoutPadding)
{
    wchar_t name[16];
    wsprintfW(name, kButtonTextNameFormat, 10);
    EXPECT_STREQ(name, L"KZ10");
    wsprintfW(name, kActiveKeyFormatBelow10, 9);
    EXPECT_STREQ(name, L"\\Drivers\\Active\\09");
    wsprintfW(name, kActiveKeyFormat, 10);
    EXPECT_STREQ(name, L"\\Drivers\\Active\\10");
}

TEST(SettingsStore, KeyClickRule)
{
    for (DWORD on : {1u, 65538u})
        EXPECT_TRUE(IsKeyClickValueOn(on)) << on;
    for (DWORD off : {0u, 2u, 65536u, 65537u, 0xFFFFFFFFu})
        EXPECT_FALSE(IsKeyClickValueOn(off)) << off;
}

TEST(SettingsStore, ControlCodes)
{
    EXPECT_EQ(IOCTL_KBD_SET_STATE, 0x222006u);
    EXPECT_EQ(IOCTL_KBD_SET_REPEAT_RATE, 0x22200Au);
    EXPECT_EQ(IOCTL_KBD_SET_REPEAT_DELAY, 0x22200Eu);
    EXPECT_EQ(IOCTL_KBD_POLL_PALETTE_KEY, 0x222012u);
    EXPECT_EQ(IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD, 0x22201Au);
}

} // namespace
