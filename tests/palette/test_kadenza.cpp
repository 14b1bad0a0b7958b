// Kadenza.exe as a user meets it: one instance, and the text of a pressed key
// or a tapped button arriving in Wine's own Notepad in front.
#include <gtest/gtest.h>
#include "systemfacts.h"
#include "testsupport.h"

namespace {

const wchar_t kKey[] = L"Software\\Corvane\\Pelorin";

struct Find {
    DWORD process;
    int control;
    const wchar_t *cls;
    HWND found;
};

// A visible top-level window of the process with the class and a control id.
HWND FindTopLevel(DWORD process, const wchar_t *cls, int control)
{
    Find find = {process, control, cls, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) CALLBACK -> BOOL {
            Find *f = reinterpret_cast<Find *>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            wchar_t cls[32] = {};
            GetClassNameW(w, cls, 32);
            if (pid == f->process && IsWindowVisible(w) && !lstrcmpW(cls, f->cls) && GetDlgItem(w, f->control)) {
                f->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND WaitTopLevel(DWORD process, const wchar_t *cls, int control)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevel(process, cls, control)) != nullptr; }, 10000);
    return found;
}

class Kadenza : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSystemState();
        WriteTestBuiltInKey();
    }
    void TearDown() override
    {
        KillProgram(palette);
        KillProgram(notepad);
        ResetSystemState();
    }
    void StartNotepad()
    {
        wchar_t path[MAX_PATH];
        GetWindowsDirectoryW(path, MAX_PATH);
        notepad = StartProgram(std::wstring(path) + L"\\notepad.exe");
        notepadWindow = WaitForWindow(nullptr, 10000, L"Notepad");
        ASSERT_NE(notepadWindow, nullptr);
        notepadEdit = FindWindowExW(notepadWindow, nullptr, L"Edit", nullptr);
        ASSERT_NE(notepadEdit, nullptr);
        SendMessageW(notepadEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"note:"));
        SendMessageW(notepadEdit, EM_SETSEL, 5, 5);
    }
    void StartPalette()
    {
        palette = StartProgram(L"Kadenza.exe");
        paletteWindow = WaitForWindow(L"Kadenza", 10000, L"Kadenza");
        ASSERT_NE(paletteWindow, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == paletteWindow; }));
        // Polling: the device is open.
        ASSERT_TRUE(WaitUntil([] { return !DriverControlCalls().empty(); }));
    }
    std::wstring NotepadText()
    {
        wchar_t text[1024] = {};
        SendMessageW(notepadEdit, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
        return text;
    }
    Program palette, notepad;
    HWND paletteWindow = nullptr, notepadWindow = nullptr, notepadEdit = nullptr;
};

TEST_F(Kadenza, SecondStartBringsTheFirstToFrontAndExits)
{
    StartNotepad();
    StartPalette();
    SetForegroundWindow(notepadWindow);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == notepadWindow; }));
    EXPECT_EQ(RunProgram(L"Kadenza.exe"), 0u);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == paletteWindow; }));
    int windows = 0;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"Kadenza", L"Kadenza"));)
        ++windows;
    EXPECT_EQ(windows, 1);
    // Ten more polls of the first palette, then it still runs.
    const size_t polls = DriverControlCalls().size();
    EXPECT_TRUE(WaitUntil([&] { return DriverControlCalls().size() >= polls + 10; }));
    EXPECT_EQ(WaitProgram(palette, 0), DWORD(STILL_ACTIVE)) << "the first palette runs on";
}

// Palettes starting together share a named lock. While its holder lives, a
// palette that finds no window never opens one: it ends when no window came
// in its wait. A lock left behind by a palette that died lets the next start.
TEST_F(Kadenza, OnlyAnAbandonedStartLockLetsALaterPaletteStart)
{
    const wchar_t lockName[] = L"Kadenza single instance";
    // A holder that lives and shows no window.
    HANDLE held = CreateMutexW(nullptr, TRUE, lockName);
    ASSERT_NE(held, nullptr);
    Program later = StartProgram(L"Kadenza.exe");
    DWORD code = STILL_ACTIVE;
    bool windowSeen = false;
    EXPECT_TRUE(WaitUntil(
        [&] {
            windowSeen |= FindWindowW(L"Kadenza", L"Kadenza") != nullptr;
            return (code = WaitProgram(later, 0)) != STILL_ACTIVE;
        },
        30000));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(windowSeen) << "no window while the holder lives";
    KillProgram(later);
    ReleaseMutex(held);
    CloseHandle(held);

    // A palette dies holding the lock; a handle kept here (as a palette
    // waiting meanwhile would keep one) leaves the lock abandoned.
    StartPalette();
    HANDLE kept = OpenMutexW(SYNCHRONIZE, FALSE, lockName);
    ASSERT_NE(kept, nullptr);
    KillProgram(palette);
    ASSERT_TRUE(WaitForWindowGone(paletteWindow));
    StartPalette();
    EXPECT_EQ(WaitForSingleObject(kept, 0), DWORD(WAIT_TIMEOUT)) << "the new palette holds the lock";
    CloseHandle(kept);
    PostMessageW(paletteWindow, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitProgram(palette), 0u);
}

TEST_F(Kadenza, PressedKeyTypesIntoNotepadAndEndsWithPollZero)
{
    StartNotepad();
    StartPalette();
    std::string out;
    ASSERT_EQ(RunProgram(L"plnkbd.exe", L"press q", &out), 0u) << out;
    EXPECT_EQ(WaitProgram(palette), 0u);
    EXPECT_TRUE(WaitUntil([&] { return NotepadText() == L"note:~"; })) << Narrow(NotepadText());
    std::vector<std::string> calls = DriverControlCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "IOCTL_KBD_POLL_PALETTE_KEY 0 -> 0");
    EXPECT_EQ(DriverJournal().back(), "PLN_Close");
    bool captured = false;
    for (const std::string &c : calls)
        captured |= c == "IOCTL_KBD_POLL_PALETTE_KEY 1 -> 113";
    EXPECT_TRUE(captured);
}

TEST_F(Kadenza, TappedButtonTypesIntoNotepad)
{
    StartNotepad();
    StartPalette();
    HWND dialog = FindWindowExW(paletteWindow, nullptr, L"#32770", nullptr);
    ASSERT_NE(dialog, nullptr);
    PostMessageW(GetDlgItem(dialog, ids::kButton1 + 20), BM_CLICK, 0, 0);  // button 21
    EXPECT_EQ(WaitProgram(palette), 0u);
    EXPECT_TRUE(WaitUntil([&] { return NotepadText() == std::wstring(L"note:") + kButtons[20].defaultText; }))
        << Narrow(NotepadText());
    EXPECT_EQ(DriverControlCalls().back(), "IOCTL_KBD_POLL_PALETTE_KEY 0 -> 0");
}

TEST_F(Kadenza, EditedTextWithAmpersandAndEmojiArrivesWholeAfterRestart)
{
    const std::wstring entered = L"Tom & Jerry \U0001F600";
    StartPalette();
    // "Edit" on the menu bar.
    HWND bar = WaitTopLevel(palette.id, L"menu_worker", ids::kEditMenu);
    ASSERT_NE(bar, nullptr);
    PostMessageW(GetDlgItem(bar, ids::kEditMenu), BM_CLICK, 0, 0);
    HWND edit = WaitTopLevel(palette.id, L"#32770", ids::kEditOk);
    ASSERT_NE(edit, nullptr);
    PostMessageW(edit, WM_COMMAND, MAKEWPARAM(ids::kEditFirst, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(edit, ids::kEditFirst)));
    HWND entry = WaitTopLevel(palette.id, L"#32770", ids::kEntryText);
    ASSERT_NE(entry, nullptr);
    wchar_t shown[64] = {};
    SendMessageW(GetDlgItem(entry, ids::kEntryText), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"~");
    SendMessageW(GetDlgItem(entry, ids::kEntryText), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entered.c_str()));
    PostMessageW(entry, WM_COMMAND, MAKEWPARAM(ids::kEntryOk, BN_CLICKED), 0);
    ASSERT_TRUE(WaitForWindowGone(entry));
    PostMessageW(edit, WM_COMMAND, MAKEWPARAM(ids::kEditOk, BN_CLICKED), 0);
    ASSERT_TRUE(WaitForWindowGone(edit));
    std::vector<BYTE> stored;
    ASSERT_TRUE(ReadRegistryBytes(HKEY_LOCAL_MACHINE, kKey, L"KZ1", &stored));
    EXPECT_EQ(stored.size(), 256u);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t *>(stored.data())), L"Tom && Jerry \U0001F600");
    PostMessageW(paletteWindow, WM_COMMAND, IDOK, 0);  // the caption's OK
    ASSERT_EQ(WaitProgram(palette), 0u);

    StartNotepad();
    StartPalette();
    std::string out;
    ASSERT_EQ(RunProgram(L"plnkbd.exe", L"press q", &out), 0u) << out;
    EXPECT_EQ(WaitProgram(palette), 0u);
    EXPECT_TRUE(WaitUntil([&] { return NotepadText() == L"note:" + entered; })) << Narrow(NotepadText());
}

}  // namespace
