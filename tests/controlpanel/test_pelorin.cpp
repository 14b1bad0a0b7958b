// Pelorin.exe run as a user would: found by its title, driven through its
// controls and its command bar, answered when it asks, and observed through
// the registry and the stand-in driver's journal.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include "systemfacts.h"
#include "testsupport.h"

namespace {

const wchar_t kSettingsPath[] = L"Software\\Corvane\\Pelorin";
const wchar_t kVolumePath[] = L"ControlPanel\\Volume";
const wchar_t kTitle[] = L"Corvane Pelorin";
using namespace ids;
const int kAbout = 57664;

using Lines = std::vector<std::string>;

class Pelorin : public ::testing::Test, protected DialogDriver, protected DriverJournalCursor {
protected:
    void SetUp() override
    {
        ResetSystemState();
        DeleteRegistryValue(HKEY_CURRENT_USER, kVolumePath, L"Key");
    }
    void TearDown() override
    {
        KillProgram(program);
        DeleteRegistryValue(HKEY_CURRENT_USER, kVolumePath, L"Key");
        ResetSystemState();
    }

    HWND StartPelorin()
    {
        program = StartProgram(L"Pelorin.exe");
        dialog = WaitForWindow(kTitle);
        return dialog;
    }
    DWORD EndPelorin(int command)
    {
        PostMessageW(dialog, WM_COMMAND, command, 0);
        return WaitProgram(program);
    }
    Program program;
};

const Lines kDefaultPushes = {"IOCTL_KBD_SET_STATE 1", "IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD 0",
                              "IOCTL_KBD_SET_REPEAT_RATE 2", "IOCTL_KBD_SET_REPEAT_DELAY 1"};

}  // namespace

TEST_F(Pelorin, ShowsTheSettingsWithACommandBarWhoseAboutOpensTheAboutBox)
{
    ASSERT_NE(StartPelorin(), nullptr);
    // The eleven controls in tab order; the lists and the picture show no caption of their own.
    struct Control {
        int id;
        const wchar_t *caption;
    } expected[] = {
        {1009, nullptr},
        {kEnable, L"Enable"},
        {kDisable, L"Disable"},
        {1014, L"Repeat Rate"},
        {kRepeat, nullptr},
        {1015, L"Delay Until Repeat"},
        {kDelay, nullptr},
        {kClickSound, L"Click Sound"},
        {kCloseSoftKeyboard, L"Close Software Keyboard"},
        {1017, L"Test Area"},
        {1008, L""},
    };
    size_t controls = 0;
    // The command bar is the shell's menu bar, a window of its own.
    HWND bar = MenuBarOf(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child) && controls++ < ARRAYSIZE(expected)) {
            const Control &c = expected[controls - 1];
            EXPECT_EQ(GetDlgCtrlID(child), c.id) << "control " << controls;
            wchar_t caption[64] = {};
            GetWindowTextW(child, caption, ARRAYSIZE(caption));
            if (c.caption) {
                EXPECT_STREQ(caption, c.caption) << c.id;
            }
        }
    }
    EXPECT_EQ(controls, ARRAYSIZE(expected));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return NewDriverCalls().empty() && DriverControlCalls().size() >= 4; }));
    Lines journal = DriverJournal();
    ASSERT_GE(journal.size(), 6u);
    EXPECT_EQ(journal[0], "PLN_Init");
    EXPECT_EQ(journal[1], "PLN_Open");
    EXPECT_EQ(Lines(journal.begin() + 2, journal.begin() + 6), kDefaultPushes);

    // A tap on the bar's About button.
    ASSERT_TRUE(TapToolbarButton(bar, kAbout));
    HWND about = WaitForWindow(L"About Corvane Pelorin");
    ASSERT_NE(about, nullptr);
    EXPECT_NE(GetDlgItem(about, 1019), nullptr);
    // On the screen: the product name in red.
    EXPECT_TRUE(WaitUntil([&] { return CountScreenPixels(about, RGB(0xFF, 0, 0)) > 20; }, 3000));
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "modal over the settings";
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitForWindowGone(about));
    EXPECT_TRUE(IsWindow(dialog));

    // The OK in the caption: the navigation bar's "ok" sends IDOK.
    EXPECT_TRUE(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitProgram(program), 0u);
    journal = DriverJournal();
    EXPECT_EQ(journal.back(), "PLN_Close");
    EXPECT_EQ(DriverControlCalls(), kDefaultPushes) << "nothing pushed but the start-up settings";
}

TEST_F(Pelorin, ClickSoundWaitsForTheUserToTurnOnThePlatformClick)
{
    ASSERT_NE(StartPelorin(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return DriverControlCalls().size() >= 4; }));
    NewDriverCalls();

    // The click handler shows its message: the box shows a check meanwhile.
    PostMessageW(Item(kClickSound), BM_CLICK, 0, 0);
    ASSERT_NE(WaitForWindow(L"Info", 10000, L"#32770"), nullptr);
    EXPECT_TRUE(Checked(kClickSound));
    EXPECT_EQ(AnswerMessageBox(L"Info"), L"You must Enable sounds for Hardware buttons first!");

    // The platform's sound settings come up; the box ends clear.
    HWND sounds = WaitForWindow(L"Sounds & Notifications");
    ASSERT_NE(sounds, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !Checked(kClickSound); }));
    EXPECT_TRUE(NewDriverCalls().empty());
    EXPECT_EQ(StoredSetting(L"SOUND"), 0u);

    EXPECT_EQ(SendMessageW(GetDlgItem(sounds, 1000), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    TurnOnHardwareButtonClick(sounds);

    // The next try turns the click on.
    Click(kClickSound);
    EXPECT_TRUE(Checked(kClickSound));
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 2"}));
    EXPECT_EQ(StoredSetting(L"SOUND"), 1u);
    EXPECT_EQ(FindWindowW(L"#32770", L"Info"), nullptr);

    // Turning it off in the platform's page again: off at the next start.
    EXPECT_EQ(EndPelorin(IDOK), 0u);
    WriteRegistryDword(HKEY_CURRENT_USER, kVolumePath, L"Key", 0);
    driverSeen = 0;
    ResetSystemState();
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsPath, L"SOUND", 1);
    ASSERT_NE(StartPelorin(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return DriverControlCalls().size() >= 4; }));
    EXPECT_FALSE(Checked(kClickSound));
    EXPECT_EQ(StoredSetting(L"SOUND"), 0u);
    EXPECT_EQ(EndPelorin(IDCANCEL), 0u);
}

TEST_F(Pelorin, EachChangeIsOnePushAndTheNextStartShowsIt)
{
    WriteRegistryDword(HKEY_CURRENT_USER, kVolumePath, L"Key", 1);
    ASSERT_NE(StartPelorin(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return DriverControlCalls().size() >= 4; }));
    EXPECT_EQ(NewDriverCalls(), kDefaultPushes);

    Choose(kRepeat, 3);
    Choose(kDelay, 0);
    Click(kCloseSoftKeyboard);
    Click(kClickSound);
    Click(kDisable);
    EXPECT_EQ(NewDriverCalls(),
              Lines({"IOCTL_KBD_SET_REPEAT_RATE 3", "IOCTL_KBD_SET_REPEAT_DELAY 0",
                     "IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD 1", "IOCTL_KBD_SET_STATE 2", "IOCTL_KBD_SET_STATE 0"}));
    EXPECT_EQ(EndPelorin(IDCANCEL), 0u);

    ASSERT_NE(StartPelorin(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return DriverControlCalls().size() >= driverSeen + 4; }));
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 0", "IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD 1",
                                       "IOCTL_KBD_SET_REPEAT_RATE 3", "IOCTL_KBD_SET_REPEAT_DELAY 0"}));
    EXPECT_EQ(SendMessageW(Item(kRepeat), CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(SendMessageW(Item(kDelay), CB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(Checked(kCloseSoftKeyboard));
    EXPECT_TRUE(Checked(kClickSound));
    EXPECT_TRUE(IsWindowEnabled(Item(kEnable)));
    EXPECT_FALSE(IsWindowEnabled(Item(kDisable)));

    Click(kEnable);
    EXPECT_EQ(NewDriverCalls(), Lines({"IOCTL_KBD_SET_STATE 2"}));
    EXPECT_EQ(EndPelorin(IDOK), 0u);
    EXPECT_EQ(StoredSetting(L"STATUS"), 1u);
}
