// The settings dialog in the test's own process: what it shows, what it
// pushes to the stand-in driver, and what it stores, for each way in.
#include <thread>
#include "controlpanelfixture.h"
#include "driverlink.h"
#include "resource.h"
#include "settingsdialog.h"

namespace {

using Lines = std::vector<std::string>;
using Steps = std::vector<std::wstring>;

const Lines kStartUpPushesOf(int state, int closeSk, int repeat, int delay)
{
    return {"IOCTL_KBD_SET_STATE " + std::to_string(state),
            "IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD " + std::to_string(closeSk),
            "IOCTL_KBD_SET_REPEAT_RATE " + std::to_string(repeat),
            "IOCTL_KBD_SET_REPEAT_DELAY " + std::to_string(delay)};
}

const int kSettingControls[] = {IDC_DISABLE, IDC_REPEAT_LABEL, IDC_REPEAT_RATE, IDC_DELAY_LABEL, IDC_DELAY,
                                IDC_CLICK_SOUND, IDC_CLOSE_SOFT_KEYBOARD, IDC_TEST_LABEL, IDC_TEST_AREA};

std::wstring ComboText(HWND combo, int index)
{
    wchar_t text[64] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) < 64)
        SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

} // namespace

TEST_F(ControlPanel, FirstRunCreatesTheKeyWithTheDefaultsAndPushesThem)
{
    ASSERT_NE(Start(), nullptr);
    std::vector<CeCall> calls = NewCalls();
    EXPECT_EQ(RegistryWrites(calls),
              Steps({L"STATUS=1", L"REPEAT=2", L"DELAY=1", L"SOUND=0", L"CLOSESK=0", L"flush"}));
    bool created = false;
    for (const CeCall &c : calls)
        created |= c.function == L"RegCreateKeyExW" && c.path == L"HKLM\\Software\\Corvane\\Pelorin";
    EXPECT_TRUE(created);
    EXPECT_EQ(Stored(L"STATUS"), 1u);
    EXPECT_EQ(Stored(L"REPEAT"), 2u);
    EXPECT_EQ(Stored(L"DELAY"), 1u);
    EXPECT_EQ(Stored(L"SOUND"), 0u);
    EXPECT_EQ(Stored(L"CLOSESK"), 0u);

    // On, Medium, Medium, both boxes clear, every setting control usable.
    EXPECT_FALSE(Enabled(IDC_ENABLE));
    for (int id : kSettingControls)
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_EQ(Selection(IDC_REPEAT_RATE), 2);
    EXPECT_EQ(Selection(IDC_DELAY), 1);
    EXPECT_FALSE(Checked(IDC_CLICK_SOUND));
    EXPECT_FALSE(Checked(IDC_CLOSE_SOFT_KEYBOARD));
    EXPECT_TRUE(PictureIs(IDB_KEYBOARD_ON));
    EXPECT_FALSE(PictureIs(IDB_KEYBOARD_OFF));

    EXPECT_EQ(NewDriverCalls(), kStartUpPushesOf(1, 0, 2, 1));
}

TEST_F(ControlPanel, ListsHoldTheRatesAndDelaysInIndexOrder)
{
    ASSERT_NE(Start(), nullptr);
    HWND repeat = Item(IDC_REPEAT_RATE), delay = Item(IDC_DELAY);
    ASSERT_EQ(SendMessageW(repeat, CB_GETCOUNT, 0, 0), 4);
    ASSERT_EQ(SendMessageW(delay, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ComboText(repeat, 0) + L"," + ComboText(repeat, 1) + L"," + ComboText(repeat, 2) + L","
                  + ComboText(repeat, 3),
              L"Off,Slow,Medium,Fast");
    EXPECT_EQ(ComboText(delay, 0) + L"," + ComboText(delay, 1) + L"," + ComboText(delay, 2), L"Short,Medium,Long");
}

TEST_F(ControlPanel, MissingSettingsAreWrittenInReadingOrder)
{
    // The palette ran first: the key holds only its texts.
    WriteRegistryString(HKEY_LOCAL_MACHINE, kSettingsPath, L"KZ1", L"~");
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(RegistryWrites(NewCalls()),
              Steps({L"REPEAT=2", L"DELAY=1", L"SOUND=0", L"CLOSESK=0", L"STATUS=1", L"flush"}));
    EXPECT_FALSE(Enabled(IDC_ENABLE));
    EXPECT_EQ(NewDriverCalls(), kStartUpPushesOf(1, 0, 2, 1));
}

TEST_F(ControlPanel, InvalidSettingsAreRepairedAndShownAsTheirDefaults)
{
    StoreSettings(2, 7, 3, 5, 2);
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(RegistryWrites(NewCalls()),
              Steps({L"REPEAT=2", L"DELAY=1", L"SOUND=0", L"CLOSESK=0", L"STATUS=1", L"flush"}));
    EXPECT_EQ(Selection(IDC_REPEAT_RATE), 2);
    EXPECT_EQ(Selection(IDC_DELAY), 1);
    EXPECT_FALSE(Checked(IDC_CLICK_SOUND));
    EXPECT_FALSE(Checked(IDC_CLOSE_SOFT_KEYBOARD));
    EXPECT_FALSE(Enabled(IDC_ENABLE));
    EXPECT_EQ(GetFocus(), Item(IDC_TEST_AREA));
    EXPECT_EQ(NewDriverCalls(), kStartUpPushesOf(1, 0, 2, 1));
}

TEST_F(ControlPanel, ValuesThatAreNotFourByteNumbersReadAsMissing)
{
    StoreSettings(1, 0xFFFFFFFF, 2, 0, 1);
    WriteRegistryString(HKEY_LOCAL_MACHINE, kSettingsPath, L"DELAY", L"Long");
    // Two bytes: not a whole number either.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsPath, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    WORD half = 1;
    RegSetValueExW(key, L"STATUS", 0, REG_BINARY, reinterpret_cast<const BYTE *>(&half), sizeof(half));
    RegCloseKey(key);

    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"REPEAT=2", L"DELAY=1", L"STATUS=1", L"flush"}));
    EXPECT_EQ(Stored(L"DELAY"), 1u);
    EXPECT_EQ(Stored(L"STATUS"), 1u);
    EXPECT_TRUE(Checked(IDC_CLOSE_SOFT_KEYBOARD));
    EXPECT_EQ(NewDriverCalls(), kStartUpPushesOf(1, 1, 2, 1));
}

TEST_F(ControlPanel, RepeatOffDisablesTheDelayWhileTheKeyboardIsOn)
{
    StoreSettings(1, 0, 2, 0, 0);
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"flush"})) << "nothing to repair";
    EXPECT_EQ(Selection(IDC_REPEAT_RATE), 0);
    EXPECT_EQ(Selection(IDC_DELAY), 2);
    EXPECT_FALSE(Enabled(IDC_DELAY));
    EXPECT_FALSE(Enabled(IDC_DELAY_LABEL));
    EXPECT_TRUE(Enabled(IDC_REPEAT_RATE));
    EXPECT_EQ(NewDriverCalls(), kStartUpPushesOf(1, 0, 0, 2));
}

TEST_F(ControlPanel, StoredClickSoundNeedsThePlatformClick)
{
    StoreSettings(1, 2, 1, 1, 0);
    SetSystemKeyClick(0);
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"SOUND=0", L"flush"}));
    EXPECT_FALSE(Checked(IDC_CLICK_SOUND));
    EXPECT_EQ(NewDriverCalls(), kStartUpPushesOf(1, 0, 2, 1));
    End();

    WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsPath, L"SOUND", 1);
    SetSystemKeyClick(0x10002);
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"flush"}));
    EXPECT_TRUE(Checked(IDC_CLICK_SOUND));
    EXPECT_EQ(NewDriverCalls(), kStartUpPushesOf(2, 0, 2, 1));
}

TEST_F(ControlPanel, PlatformClickIsOnOnlyForOneAnd65538)
{
    struct Case {
        DWORD value;
        bool on;
    } cases[] = {{1, true}, {0x10002, true}, {0, false}, {2, false}, {0x10000, false}, {0x10001, false}};
    for (const Case &c : cases) {
        SetSystemKeyClick(c.value);
        EXPECT_EQ(IsSystemKeyClickOn(), c.on) << c.value;
    }
    RemoveSystemKeyClick();
    EXPECT_FALSE(IsSystemKeyClickOn()) << "unreadable counts as off";
    WriteRegistryString(HKEY_CURRENT_USER, kVolumePath, L"Key", L"1");
    EXPECT_FALSE(IsSystemKeyClickOn()) << "a string is no number";
    DeleteRegistryKey(HKEY_CURRENT_USER, kVolumePath);
    EXPECT_FALSE(IsSystemKeyClickOn()) << "no key counts as off";
}

TEST_F(ControlPanel, StoredOffDisablesTheSettingsAndPushesStateZeroFirst)
{
    StoreSettings(0, 3, 0, 0, 1);
    ASSERT_NE(Start(), nullptr);
    for (int id : kSettingControls)
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(IDC_ENABLE));
    EXPECT_EQ(GetFocus(), Item(IDC_ENABLE));
    EXPECT_TRUE(PictureIs(IDB_KEYBOARD_OFF));
    EXPECT_EQ(NewDriverCalls(), kStartUpPushesOf(0, 1, 3, 0));
}

TEST_F(ControlPanel, EnableAndDisableSwitchTheKeyboardAndMoveTheFocus)
{
    StoreSettings(1, 0, 1, 0, 0);
    ASSERT_NE(Start(), nullptr);
    NewDriverCalls();
    NewCalls();

    Click(IDC_DISABLE);
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 0"}));
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"STATUS=0", L"flush"}));
    EXPECT_EQ(Stored(L"STATUS"), 0u);
    EXPECT_TRUE(PictureIs(IDB_KEYBOARD_OFF));
    for (int id : kSettingControls)
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(IDC_ENABLE));
    EXPECT_EQ(GetFocus(), Item(IDC_ENABLE));

    Click(IDC_ENABLE);
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 1"}));
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"STATUS=1", L"flush"}));
    EXPECT_TRUE(PictureIs(IDB_KEYBOARD_ON));
    EXPECT_FALSE(Enabled(IDC_ENABLE));
    EXPECT_EQ(GetFocus(), Item(IDC_TEST_AREA));
    // Repeat is still Off: the delay stays disabled.
    EXPECT_FALSE(Enabled(IDC_DELAY));
    EXPECT_FALSE(Enabled(IDC_DELAY_LABEL));
    for (int id : {IDC_DISABLE, IDC_REPEAT_LABEL, IDC_REPEAT_RATE, IDC_CLICK_SOUND, IDC_CLOSE_SOFT_KEYBOARD,
                   IDC_TEST_LABEL, IDC_TEST_AREA})
        EXPECT_TRUE(Enabled(id)) << id;

    // With Click Sound on, Enable turns the click on too.
    SetSystemKeyClick(1);
    Click(IDC_CLICK_SOUND);
    Click(IDC_DISABLE);
    NewDriverCalls();
    Click(IDC_ENABLE);
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 2"}));
}

TEST_F(ControlPanel, ClickSoundOnAndOffWithThePlatformClickOn)
{
    SetSystemKeyClick(0x10002);
    ASSERT_NE(Start(), nullptr);
    NewDriverCalls();
    NewCalls();

    Click(IDC_CLICK_SOUND);
    EXPECT_TRUE(Checked(IDC_CLICK_SOUND));
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 2"}));
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"SOUND=1", L"flush"}));
    EXPECT_EQ(Stored(L"SOUND"), 1u);

    Click(IDC_CLICK_SOUND);
    EXPECT_FALSE(Checked(IDC_CLICK_SOUND));
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 1"}));
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"SOUND=0", L"flush"}));
    EXPECT_EQ(Stored(L"SOUND"), 0u);
}

TEST_F(ControlPanel, ClickSoundWithThePlatformClickOffSendsTheUserToTheSoundSettings)
{
    RemoveSystemKeyClick();
    ASSERT_NE(Start(), nullptr);
    NewDriverCalls();
    NewCalls();

    // The message box runs its own loop on this thread; another thread reads
    // the box's check while the message shows, then answers it.
    HWND box = Item(IDC_CLICK_SOUND);
    LRESULT checkWhileShown = -1;
    std::wstring text;
    std::thread answer([&] {
        if (WaitForWindow(L"Info", 10000, L"#32770"))
            checkWhileShown = SendMessageW(box, BM_GETCHECK, 0, 0);
        text = AnswerMessageBox(L"Info");
    });
    Click(IDC_CLICK_SOUND);
    answer.join();

    EXPECT_EQ(text, L"You must Enable sounds for Hardware buttons first!");
    EXPECT_EQ(checkWhileShown, BST_CHECKED);
    EXPECT_FALSE(Checked(IDC_CLICK_SOUND));
    EXPECT_EQ(GetFocus(), box);

    std::vector<CeCall> calls = NewCalls();
    EXPECT_TRUE(RegistryWrites(calls).empty());
    bool started = false;
    for (const CeCall &c : calls) {
        EXPECT_NE(c.function, L"RegSetValueExW");
        EXPECT_NE(c.function, L"DeviceIoControl");
        if (c.function == L"CreateProcessW") {
            started = true;
            EXPECT_EQ(c.path, L"ctlpnl.exe");
            EXPECT_EQ(c.value, L"cplmain.cpl, 9, 0");
            EXPECT_NE(c.result, 0) << "the sound settings started";
        }
    }
    EXPECT_TRUE(started);
    EXPECT_TRUE(NewDriverCalls().empty());
    EXPECT_EQ(Stored(L"SOUND"), 0u);

    // The platform's page is up; turning its click on lets the next try pass.
    HWND page = WaitForWindow(L"Sounds & Notifications");
    ASSERT_NE(page, nullptr);
    SendMessageW(GetDlgItem(page, 1000), BM_CLICK, 0, 0);
    DWORD key = 0;
    EXPECT_TRUE(ReadRegistryDword(HKEY_CURRENT_USER, kVolumePath, L"Key", &key));
    EXPECT_EQ(key, 0x10002u);
    PostMessageW(page, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitForWindowGone(page));

    Click(IDC_CLICK_SOUND);
    EXPECT_TRUE(Checked(IDC_CLICK_SOUND));
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 2"}));
    EXPECT_EQ(Stored(L"SOUND"), 1u);
}

TEST_F(ControlPanel, CloseSoftwareKeyboardToggles)
{
    ASSERT_NE(Start(), nullptr);
    NewDriverCalls();
    NewCalls();
    Click(IDC_CLOSE_SOFT_KEYBOARD);
    EXPECT_TRUE(Checked(IDC_CLOSE_SOFT_KEYBOARD));
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD 1"}));
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"CLOSESK=1", L"flush"}));
    Click(IDC_CLOSE_SOFT_KEYBOARD);
    EXPECT_FALSE(Checked(IDC_CLOSE_SOFT_KEYBOARD));
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD 0"}));
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"CLOSESK=0", L"flush"}));
}

TEST_F(ControlPanel, RepeatRateOffAndBackAndDelay)
{
    ASSERT_NE(Start(), nullptr);
    NewDriverCalls();
    NewCalls();

    Choose(IDC_REPEAT_RATE, 0);
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_REPEAT_RATE 0"}));
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"REPEAT=0", L"flush"}));
    EXPECT_FALSE(Enabled(IDC_DELAY));
    EXPECT_FALSE(Enabled(IDC_DELAY_LABEL));

    Choose(IDC_REPEAT_RATE, 3);
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_REPEAT_RATE 3"}));
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"REPEAT=3", L"flush"}));
    EXPECT_TRUE(Enabled(IDC_DELAY));
    EXPECT_TRUE(Enabled(IDC_DELAY_LABEL));
    EXPECT_EQ(Stored(L"DELAY"), 1u) << "the delay stays as it was";

    Choose(IDC_DELAY, 2);
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_REPEAT_DELAY 2"}));
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"DELAY=2", L"flush"}));
}

TEST_F(ControlPanel, OkAndCancelFlushCloseAndTheNextStartShowsTheLastChanges)
{
    SetSystemKeyClick(1);
    for (int command : {IDOK, IDCANCEL}) {
        DeleteRegistryKey(HKEY_LOCAL_MACHINE, kSettingsPath);
        ASSERT_NE(Start(), nullptr);
        Choose(IDC_REPEAT_RATE, command == IDOK ? 1 : 3);
        Choose(IDC_DELAY, command == IDOK ? 0 : 2);
        Click(IDC_CLICK_SOUND);
        Click(IDC_CLOSE_SOFT_KEYBOARD);
        Click(IDC_DISABLE);
        NewCalls();
        HWND window = dialog;
        End(command);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(app->m_pMainWnd, nullptr);
        EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"flush", L"close"})) << command;
        EXPECT_EQ(settingsKey, nullptr);
        app->ExitInstance();
        app.reset();
        deviceHandle = INVALID_HANDLE_VALUE;
        NewDriverCalls();

        ASSERT_NE(Start(), nullptr);
        EXPECT_EQ(Selection(IDC_REPEAT_RATE), command == IDOK ? 1 : 3);
        EXPECT_EQ(Selection(IDC_DELAY), command == IDOK ? 0 : 2);
        EXPECT_TRUE(Checked(IDC_CLICK_SOUND));
        EXPECT_TRUE(Checked(IDC_CLOSE_SOFT_KEYBOARD));
        EXPECT_TRUE(Enabled(IDC_ENABLE));
        EXPECT_EQ(NewDriverCalls(), command == IDOK ? kStartUpPushesOf(0, 1, 1, 0) : kStartUpPushesOf(0, 1, 3, 2));
        End(command);
        app->ExitInstance();
        app.reset();
        deviceHandle = INVALID_HANDLE_VALUE;
    }
}

TEST_F(ControlPanel, WithoutTheDeviceTheSettingsAreStillShownAndStored)
{
    ResetSystemState();
    WriteTestBuiltInKey(L"Missing.dll");
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(deviceHandle, INVALID_HANDLE_VALUE);
    Choose(IDC_REPEAT_RATE, 1);
    Click(IDC_DISABLE);
    EXPECT_EQ(Stored(L"REPEAT"), 1u);
    EXPECT_EQ(Stored(L"STATUS"), 0u);
    EXPECT_TRUE(Enabled(IDC_ENABLE));
    EXPECT_TRUE(DriverControlCalls().empty());
}
