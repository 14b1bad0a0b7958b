// The settings dialog in the test's own process: what it shows, what it
// pushes to the stand-in driver, and what it stores, for each way in.
#include <thread>
#include "controlpanelfixture.h"
#include "driverlink.h"
#include "resource.h"
#include "settingsdialog.h"
#include "systemfacts.h"

namespace {

using Lines = std::vector<std::string>;
using Steps = std::vector<std::wstring>;

const Lines kStartUpPushesOf(int state, int closeSk, int repeat, int delay)
{
    return {
        "IOCTL_KBD_SET_STATE " + std::to_string(state), "IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD " + std::to_string(closeSk),
        "IOCTL_KBD_SET_REPEAT_RATE " + std::to_string(repeat), "IOCTL_KBD_SET_REPEAT_DELAY " + std::to_string(delay)};
}

// A setting's default.
int DefaultOf(const wchar_t *name)
{
    for (const SettingFacts &setting : kSettingFacts)
        if (std::wstring(setting.name) == name)
            return static_cast<int>(setting.defaultValue);
    ADD_FAILURE() << "no setting named " << name;
    return -1;
}

// The registry side of writing the defaults of these settings, in this order.
Steps DefaultWrites(std::initializer_list<const wchar_t *> names)
{
    Steps steps;
    for (const wchar_t *name : names)
        steps.push_back(name + (L"=" + std::to_wstring(DefaultOf(name))));
    steps.push_back(L"flush");
    return steps;
}

// What the start-up pushes when every setting holds its default.
const Lines kDefaultStartUpPushes = kStartUpPushesOf(DefaultOf(L"STATUS"), DefaultOf(L"CLOSESK"), DefaultOf(L"REPEAT"),
                                                     DefaultOf(L"DELAY"));

// The keyboard pictures, on and off.
const int kOnPicture = 131, kOffPicture = 130;

const int kSettingControls[] = {IDC_DISABLE,     IDC_REPEAT_LABEL,        IDC_REPEAT_RATE, IDC_DELAY_LABEL, IDC_DELAY,
                                IDC_CLICK_SOUND, IDC_CLOSE_SOFT_KEYBOARD, IDC_TEST_LABEL,  IDC_TEST_AREA};

std::wstring ComboText(HWND combo, int index)
{
    wchar_t text[64] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) < 64)
        SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

TEST_F(ControlPanel, FirstRunCreatesTheKeyWithTheDefaultsAndPushesThem)
{
    ASSERT_NE(Start(), nullptr);
    std::vector<CeCall> calls = NewCalls();
    EXPECT_EQ(RegistryWrites(calls), DefaultWrites({L"STATUS", L"REPEAT", L"DELAY", L"SOUND", L"CLOSESK"}));
    bool created = false;
    for (const CeCall &c : calls)
        created |= c.function == L"RegCreateKeyExW" && c.path == L"HKLM\\Software\\Corvane\\Pelorin";
    EXPECT_TRUE(created);
    for (const SettingFacts &setting : kSettingFacts)
        EXPECT_EQ(StoredSetting(setting.name), setting.defaultValue) << setting.name;

    // On, Medium, Medium, both boxes clear, every setting control usable.
    EXPECT_FALSE(Enabled(IDC_ENABLE));
    for (int id : kSettingControls)
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_EQ(Selection(IDC_REPEAT_RATE), DefaultOf(L"REPEAT"));
    EXPECT_EQ(Selection(IDC_DELAY), DefaultOf(L"DELAY"));
    EXPECT_FALSE(Checked(IDC_CLICK_SOUND));
    EXPECT_FALSE(Checked(IDC_CLOSE_SOFT_KEYBOARD));
    EXPECT_TRUE(PictureIs(kOnPicture));
    EXPECT_FALSE(PictureIs(kOffPicture));

    EXPECT_EQ(NewDriverCalls(), kDefaultStartUpPushes);
}

TEST_F(ControlPanel, ResourcesAndListsHoldTheirTextsByTheirIds)
{
    HMODULE module = GetModuleHandleW(nullptr);
    struct Text {
        UINT id;
        const wchar_t *text;
    } strings[] = {
        {1, L"About"},
        {2, L"Help"},
        {57664, L"About the program"},
        {57665, L"Off"},
        {57666, L"Slow"},
        {57667, L"Medium"},
        {57668, L"Fast"},
        {57669, L"Short"},
        {57670, L"Medium"},
        {57671, L"Long"},
        {57672, L"You must Enable sounds for Hardware buttons first!"},
        {57673, L"Info"},
    };
    for (const Text &t : strings) {
        wchar_t text[128] = {};
        LoadStringW(module, t.id, text, ARRAYSIZE(text));
        EXPECT_STREQ(text, t.text) << t.id;
    }
    // Types 5 dialog, 14 icon group, 2 bitmap.
    struct Resource {
        WORD type, id;
    } resources[] = {{5, 102}, {5, 129}, {14, 128}, {2, 130}, {2, 131}, {2, 132}};
    for (const Resource &r : resources)
        EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(r.id), MAKEINTRESOURCEW(r.type)), nullptr) << r.id;

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
    EXPECT_EQ(RegistryWrites(NewCalls()), DefaultWrites({L"REPEAT", L"DELAY", L"SOUND", L"CLOSESK", L"STATUS"}));
    EXPECT_FALSE(Enabled(IDC_ENABLE));
    EXPECT_EQ(NewDriverCalls(), kDefaultStartUpPushes);
}

TEST_F(ControlPanel, InvalidSettingsAreRepairedAndShownAsTheirDefaults)
{
    StoreSettings(2, 7, 3, 5, 2);
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(RegistryWrites(NewCalls()), DefaultWrites({L"REPEAT", L"DELAY", L"SOUND", L"CLOSESK", L"STATUS"}));
    EXPECT_EQ(Selection(IDC_REPEAT_RATE), DefaultOf(L"REPEAT"));
    EXPECT_EQ(Selection(IDC_DELAY), DefaultOf(L"DELAY"));
    EXPECT_FALSE(Checked(IDC_CLICK_SOUND));
    EXPECT_FALSE(Checked(IDC_CLOSE_SOFT_KEYBOARD));
    EXPECT_FALSE(Enabled(IDC_ENABLE));
    EXPECT_EQ(GetFocus(), Item(IDC_TEST_AREA));
    EXPECT_EQ(NewDriverCalls(), kDefaultStartUpPushes);
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
    EXPECT_EQ(RegistryWrites(NewCalls()), DefaultWrites({L"REPEAT", L"DELAY", L"STATUS"}));
    EXPECT_EQ(StoredSetting(L"DELAY"), static_cast<DWORD>(DefaultOf(L"DELAY")));
    EXPECT_EQ(StoredSetting(L"STATUS"), static_cast<DWORD>(DefaultOf(L"STATUS")));
    EXPECT_TRUE(Checked(IDC_CLOSE_SOFT_KEYBOARD));
    EXPECT_EQ(NewDriverCalls(), kStartUpPushesOf(DefaultOf(L"STATUS"), 1, DefaultOf(L"REPEAT"), DefaultOf(L"DELAY")));
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
    EXPECT_EQ(RegistryWrites(NewCalls()), DefaultWrites({L"SOUND"}));
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
    } cases[] = {{1, true},        {0x10002, true},  {0, false},         {2, false},
                 {0x10000, false}, {0x10001, false}, {0xFFFFFFFF, false}};
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
    EXPECT_TRUE(PictureIs(kOffPicture));
    EXPECT_EQ(NewDriverCalls(), kStartUpPushesOf(0, 1, 3, 0));
}

TEST_F(ControlPanel, EnableAndDisableSwitchTheKeyboardAndMoveTheFocus)
{
    StoreSettings(1, 0, 1, 0, 0);
    ASSERT_NE(StartPastStartUp(), nullptr);

    Click(IDC_DISABLE);
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 0"}));
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"STATUS=0", L"flush"}));
    EXPECT_EQ(StoredSetting(L"STATUS"), 0u);
    EXPECT_TRUE(PictureIs(kOffPicture));
    for (int id : kSettingControls)
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(IDC_ENABLE));
    EXPECT_EQ(GetFocus(), Item(IDC_ENABLE));

    Click(IDC_ENABLE);
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 1"}));
    EXPECT_EQ(RegistryWrites(NewCalls()), Steps({L"STATUS=1", L"flush"}));
    EXPECT_TRUE(PictureIs(kOnPicture));
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

TEST_F(ControlPanel, EachChangeIsPushedThenStoredAndFlushed)
{
    SetSystemKeyClick(0x10002);
    ASSERT_NE(StartPastStartUp(), nullptr);
    struct Change {
        int id, index;  // a list choice, or -1 for a click
        const char *pushed;
        const wchar_t *stored;
        bool checked;  // the box afterwards
        bool delayOn;  // Delay Until Repeat afterwards
    } changes[] = {
        {IDC_CLICK_SOUND, -1, "IOCTL_KBD_SET_STATE 2", L"SOUND=1", true, true},
        {IDC_CLICK_SOUND, -1, "IOCTL_KBD_SET_STATE 1", L"SOUND=0", false, true},
        {IDC_CLOSE_SOFT_KEYBOARD, -1, "IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD 1", L"CLOSESK=1", true, true},
        {IDC_CLOSE_SOFT_KEYBOARD, -1, "IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD 0", L"CLOSESK=0", false, true},
        {IDC_REPEAT_RATE, 0, "IOCTL_KBD_SET_REPEAT_RATE 0", L"REPEAT=0", false, false},
        {IDC_REPEAT_RATE, 3, "IOCTL_KBD_SET_REPEAT_RATE 3", L"REPEAT=3", false, true},
        {IDC_DELAY, 2, "IOCTL_KBD_SET_REPEAT_DELAY 2", L"DELAY=2", false, true},
    };
    for (const Change &c : changes) {
        SCOPED_TRACE(c.pushed);
        if (c.index < 0)
            Click(c.id);
        else
            Choose(c.id, c.index);
        EXPECT_EQ(NewDriverCalls(), Lines({c.pushed}));
        std::vector<CeCall> calls = NewCalls();
        EXPECT_EQ(RegistryWrites(calls), Steps({c.stored, L"flush"}));
        size_t push = calls.size(), store = calls.size();
        for (size_t i = calls.size(); i-- > 0;) {
            if (calls[i].function == L"DeviceIoControl")
                push = i;
            if (calls[i].function == L"RegSetValueExW")
                store = i;
        }
        EXPECT_LT(push, store) << "pushed first";
        if (c.index < 0) {
            EXPECT_EQ(Checked(c.id), c.checked);
        }
        EXPECT_EQ(Enabled(IDC_DELAY), c.delayOn);
        EXPECT_EQ(Enabled(IDC_DELAY_LABEL), c.delayOn);
    }
    EXPECT_EQ(StoredSetting(L"SOUND"), 0u);
    EXPECT_EQ(StoredSetting(L"CLOSESK"), 0u);
    EXPECT_EQ(StoredSetting(L"REPEAT"), 3u);
    EXPECT_EQ(StoredSetting(L"DELAY"), 2u);
}

// A change after the settings key was deleted under the open dialog (removal
// does that): pushed, then one write and one flush on the handle, which fail
// and are not tried again; no key is opened or made, and none is left.
TEST_F(ControlPanel, ChangeAfterTheKeyWasDeletedIsPushedAndStoredNowhere)
{
    auto seen = [](const std::vector<CeCall> &calls) {
        Steps steps;
        for (const CeCall &c : calls) {
            if (c.function == L"DeviceIoControl")
                steps.push_back(c.function);
            else if (c.function.rfind(L"Reg", 0) == 0)
                steps.push_back(c.function + (c.value.empty() ? L"" : L" " + c.value)
                                + (c.result == ERROR_SUCCESS ? L" ok" : L" failed"));
        }
        return steps;
    };
    ASSERT_NE(StartPastStartUp(), nullptr);
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, L"Software\\Corvane");
    NewCalls();
    Choose(IDC_REPEAT_RATE, 3);
    EXPECT_EQ(seen(NewCalls()), Steps({L"DeviceIoControl", L"RegSetValueExW REPEAT failed", L"RegFlushKey failed"}));
    Click(IDC_CLOSE_SOFT_KEYBOARD);
    EXPECT_EQ(seen(NewCalls()), Steps({L"DeviceIoControl", L"RegSetValueExW CLOSESK failed", L"RegFlushKey failed"}));
    EXPECT_EQ(Selection(IDC_REPEAT_RATE), 3);
    EXPECT_TRUE(Checked(IDC_CLOSE_SOFT_KEYBOARD));
    End(IDOK);
    Exit();
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSettingsPath));
}

TEST_F(ControlPanel, ClickSoundWithThePlatformClickOffSendsTheUserToTheSoundSettings)
{
    RemoveSystemKeyClick();
    ASSERT_NE(StartPastStartUp(), nullptr);

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
    EXPECT_EQ(StoredSetting(L"SOUND"), 0u);

    // The platform's page is up; turning its click on lets the next try pass.
    HWND page = WaitForWindow(L"Sounds & Notifications");
    ASSERT_NE(page, nullptr);
    TurnOnHardwareButtonClick(page);

    Click(IDC_CLICK_SOUND);
    EXPECT_TRUE(Checked(IDC_CLICK_SOUND));
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 2"}));
    EXPECT_EQ(StoredSetting(L"SOUND"), 1u);
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
        Exit();
        NewDriverCalls();

        ASSERT_NE(Start(), nullptr);
        EXPECT_EQ(Selection(IDC_REPEAT_RATE), command == IDOK ? 1 : 3);
        EXPECT_EQ(Selection(IDC_DELAY), command == IDOK ? 0 : 2);
        EXPECT_TRUE(Checked(IDC_CLICK_SOUND));
        EXPECT_TRUE(Checked(IDC_CLOSE_SOFT_KEYBOARD));
        EXPECT_TRUE(Enabled(IDC_ENABLE));
        EXPECT_EQ(NewDriverCalls(), command == IDOK ? kStartUpPushesOf(0, 1, 1, 0) : kStartUpPushesOf(0, 1, 3, 2));
        End(command);
        Exit();
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
    EXPECT_EQ(StoredSetting(L"REPEAT"), 1u);
    EXPECT_EQ(StoredSetting(L"STATUS"), 0u);
    EXPECT_TRUE(Enabled(IDC_ENABLE));
    // Every push was still made, on no device, and failed.
    std::vector<std::pair<DWORD, DWORD>> pushes;
    for (const CeCall &c : NewCalls()) {
        if (c.function != L"DeviceIoControl")
            continue;
        DWORD input = 0xDEADBEEF;
        if (c.data.size() == sizeof(input))
            CopyMemory(&input, c.data.data(), sizeof(input));
        pushes.emplace_back(c.type, input);
        EXPECT_EQ(c.result, 0);
    }
    EXPECT_EQ(pushes, (std::vector<std::pair<DWORD, DWORD>>{
                          {0x222006, 1}, {0x22201A, 0}, {0x22200A, 2}, {0x22200E, 1}, {0x22200A, 1}, {0x222006, 0}}));
}
