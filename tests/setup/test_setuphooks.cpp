// The four hooks, run in-process from the setup sources, observed through the
// CE call journal, the probe on file deletions and the real registry.
#include <windows.h>
#include <gtest/gtest.h>
#include <strsafe.h>
#include <algorithm>
#include "testsupport.h"
#include "cejournal.h"
#include "registrynames.h"
#include "driverlink.h"
#include "setuphooks.h"
#include "shellprobe.h"
#include "setuptestsupport.h"

namespace {

const wchar_t kRefusal[] =
    L"Please remove the previously installed Corvane Pelorin first and then run the Setup again.";

std::wstring Entry(int n)
{
    wchar_t name[8];
    StringCchPrintfW(name, ARRAYSIZE(name), L"%02d", n);
    return name;
}

std::vector<std::wstring> OpenedPaths(const std::vector<CeCall> &calls)
{
    std::vector<std::wstring> paths;
    for (const CeCall &call : calls)
        if (call.function == L"RegOpenKeyExW")
            paths.push_back(call.path);
    return paths;
}

// "function path value" per call, for comparing whole sequences.
std::vector<std::wstring> Lines(const std::vector<CeCall> &calls)
{
    std::vector<std::wstring> lines;
    for (const CeCall &call : calls) {
        std::wstring line = call.function + L" " + call.path;
        if (!call.value.empty())
            line += L" " + call.value;
        if (call.function == L"RegQueryValueExW")
            line += L" " + std::to_wstring(call.size);
        lines.push_back(line);
    }
    return lines;
}

class SetupHooks : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSystemState();
        CleanUp();
        probeDeleteAttempts.clear();
        probeFolderLookups.clear();
        probeFailingFolder = -1;
    }
    void TearDown() override
    {
        CeJournalStop();
        ResetSystemState();  // ends a started program before its file goes
        CleanUp();
    }
    void CleanUp()
    {
        std::vector<std::wstring> entries = {L"00", L"9", L"50"};
        for (int n = 1; n <= 49; ++n)
            entries.push_back(Entry(n));
        DeleteHandMadeActiveEntries(entries);
        DeleteShortcutFiles();
        DeleteRegistryKey(HKEY_LOCAL_MACHINE, kInstallKeyPath);
        RemoveStandInInstallation(installDir);
    }
    // Entries 01 to last-1 taken by other drivers' entries (some without values).
    void FillActiveEntries(int last)
    {
        for (int n = 1; n < last; ++n) {
            if (n % 3 == 0)
                CreateActiveEntry(Entry(n), nullptr, 0, 0);
            else if (n % 3 == 1)
                CreateActiveEntry(Entry(n), n == 4 ? L"PLN10:" : L"COM1:", 0x00DE1000 + n);
            else
                CreateActiveEntry(Entry(n), L"pln1", 0x00DE1000 + n);
        }
    }
    // Loads the driver through the device manager; the number of its entry.
    int LoadDriver()
    {
        WriteTestBuiltInKey();
        if (!ActivateDevice(kBuiltInKeyPath, 0))
            return 0;
        for (int n = 1; n <= 49; ++n) {
            std::vector<BYTE> data;
            if (ReadRegistryBytes(HKEY_LOCAL_MACHINE, (L"Drivers\\Active\\" + Entry(n)).c_str(), L"Name", &data)
                && std::wstring(reinterpret_cast<const wchar_t *>(data.data())) == L"PLN1:")
                return n;
        }
        return 0;
    }
    std::wstring installDir;
};

TEST_F(SetupHooks, InstallInitRefusesOverAnEarlierInstallationEveryTime)
{
    CreateShortcutFiles();
    HWND parent = CreateWindowExW(0, L"STATIC", L"installer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_TRUE(parent);
    BoxWatcher watcher;
    CeJournalStart();
    EXPECT_EQ(Install_Init(parent, TRUE, TRUE, L"\\Program Files\\Corvane Pelorin"), codeINSTALL_INIT_CANCEL);
    EXPECT_EQ(Install_Init(parent, FALSE, 7, L"\\Program Files\\Corvane Pelorin"), 1);
    std::vector<BoxWatcher::Box> boxes = watcher.Stop();
    DestroyWindow(parent);

    ASSERT_EQ(boxes.size(), 2u) << "one message per call, first call or not";
    for (const BoxWatcher::Box &box : boxes) {
        EXPECT_EQ(box.caption, L"Pelorin Installation");
        EXPECT_EQ(box.text, kRefusal);
        EXPECT_EQ(box.owner, parent) << "owned by the installer's window";
        EXPECT_EQ(box.visibleButtons, 1);
        EXPECT_TRUE(box.okButton);
    }
    EXPECT_TRUE(probeDeleteAttempts.empty());
    EXPECT_TRUE(probeFolderLookups.empty());
    EXPECT_EQ(CountShortcutFiles(), 6) << "the shortcuts are left alone";
    EXPECT_TRUE(CeJournalTake().empty()) << "no registry, device or process call";
}

TEST_F(SetupHooks, InstallInitDeletesTheSixShortcutsStartMenuFirst)
{
    CreateShortcutFiles();
    ASSERT_EQ(CountShortcutFiles(), 6);
    BoxWatcher watcher;
    EXPECT_EQ(Install_Init(nullptr, TRUE, FALSE, L"\\ignored"), codeINSTALL_INIT_CONTINUE);
    EXPECT_TRUE(watcher.Stop().empty());
    EXPECT_EQ(probeDeleteAttempts, ShortcutPaths());
    EXPECT_EQ(probeFolderLookups, std::vector<int>({CSIDL_STARTMENU, CSIDL_PROGRAMS}));
    EXPECT_EQ(CountShortcutFiles(), 0);

    // Nothing left to delete: the same six attempts, the same result.
    probeDeleteAttempts.clear();
    EXPECT_EQ(Install_Init(nullptr, FALSE, FALSE, nullptr), codeINSTALL_INIT_CONTINUE);
    EXPECT_EQ(probeDeleteAttempts, ShortcutPaths());
}

TEST_F(SetupHooks, AFolderThatCannotBeFoundIsSkipped)
{
    std::vector<std::wstring> all = ShortcutPaths();
    probeFailingFolder = CSIDL_STARTMENU;
    EXPECT_EQ(Install_Init(nullptr, TRUE, FALSE, nullptr), codeINSTALL_INIT_CONTINUE);
    EXPECT_EQ(probeDeleteAttempts, std::vector<std::wstring>(all.begin() + 3, all.end()));

    probeDeleteAttempts.clear();
    probeFailingFolder = CSIDL_PROGRAMS;
    EXPECT_EQ(Uninstall_Exit(nullptr), codeUNINSTALL_EXIT_DONE);
    EXPECT_EQ(probeDeleteAttempts, std::vector<std::wstring>(all.begin(), all.begin() + 3));
}

TEST_F(SetupHooks, InstallExitStartsTheControlPanelOfTheRecordedFolder)
{
    // A stand-in control panel that leaves a trace: the driver starter, which
    // loads the driver.
    installDir = CreateStandInInstallation(L"PelorinSetupTest");
    ASSERT_FALSE(installDir.empty());

    CeJournalStart();
    EXPECT_EQ(Install_Exit(nullptr, L"C:\\not\\this\\one", 0, 1, 2, 3, 4), codeINSTALL_EXIT_DONE);
    std::vector<CeCall> calls = CeJournalTake();
    ASSERT_EQ(Lines(calls), std::vector<std::wstring>({
                                L"RegOpenKeyExW HKLM\\SOFTWARE\\Apps\\Corvane Pelorin",
                                L"RegQueryValueExW HKLM\\SOFTWARE\\Apps\\Corvane Pelorin InstallDir 1024",
                                L"RegCloseKey HKLM\\SOFTWARE\\Apps\\Corvane Pelorin",
                                L"CreateProcessW " + installDir + L"\\Pelorin",
                            }));
    EXPECT_EQ(calls[3].type, DWORD(CREATE_NEW_CONSOLE));
    EXPECT_TRUE(calls[3].result) << "the program was started";
    EXPECT_TRUE(WaitUntil([] { return CountActiveKeyboardEntries() == 1; }, 20000)) << "the started program ran";
}

TEST_F(SetupHooks, InstallExitStartsNothingWithoutTheInstallKey)
{
    CeJournalStart();
    EXPECT_EQ(Install_Exit(nullptr, L"C:\\Program Files\\Corvane Pelorin", 0, 0, 0, 0, 0), codeINSTALL_EXIT_DONE);
    std::vector<CeCall> calls = CeJournalTake();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].function, L"RegOpenKeyExW");
    EXPECT_NE(calls[0].result, 0);
}

TEST_F(SetupHooks, InstallExitStartsNothingFromAnUnusableFolder)
{
    auto started = [](const wchar_t *what) {
        CeJournalStart();
        EXPECT_EQ(Install_Exit(nullptr, nullptr, 0, 0, 0, 0, 0), codeINSTALL_EXIT_DONE) << what;
        std::vector<CeCall> calls = CeJournalTake();
        CeJournalStop();
        EXPECT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().function, L"CreateProcessW") << what;
        if (calls.empty() || calls.back().function != L"CreateProcessW")
            return std::wstring(L"<nothing>");
        // The key is closed before the start, on every path.
        EXPECT_EQ(calls[calls.size() - 2].function, L"RegCloseKey") << what;
        return calls.back().path;
    };
    auto startsNothing = [](const wchar_t *what) {
        CeJournalStart();
        EXPECT_EQ(Install_Exit(nullptr, nullptr, 0, 0, 0, 0, 0), codeINSTALL_EXIT_DONE) << what;
        std::vector<CeCall> calls = CeJournalTake();
        CeJournalStop();
        for (const CeCall &call : calls)
            EXPECT_NE(call.function, L"CreateProcessW") << what;
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().function, L"RegCloseKey") << what;
    };

    // The key without the value.
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kInstallKeyPath, L"Other", 1);
    startsNothing(L"no InstallDir");

    // 503 units, "\Pelorin" and the zero fill the 512-unit buffer exactly...
    std::wstring longest = L"C:\\" + std::wstring(500, L'd');
    WriteRegistryString(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallDirValue, longest);
    EXPECT_EQ(started(L"503 units"), longest + L"\\Pelorin");
    // ...one more and the suffix no longer fits: nothing is started.
    WriteRegistryString(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallDirValue, longest + L"d");
    startsNothing(L"504 units");
    // Longer than the buffer: the read fails.
    WriteRegistryString(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallDirValue, std::wstring(600, L'd'));
    startsNothing(L"600 units");

    // Filling the whole buffer, without room for a terminating zero.
    std::wstring full(512, L'e');
    WriteRawValue(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallDirValue, REG_SZ, full.data(), 1024);
    startsNothing(L"1024 bytes without a zero");

    // The type is not looked at.
    WriteRawValue(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallDirValue, REG_EXPAND_SZ, L"C:\\dir", 14);
    EXPECT_EQ(started(L"REG_EXPAND_SZ"), L"C:\\dir\\Pelorin");
}

TEST_F(SetupHooks, ActiveEntriesAreScannedAsTwoDigitNumbersFrom01To49)
{
    // Decoys under names the scan must never open.
    for (const wchar_t *entry : {L"00", L"9", L"50"})
        CreateActiveEntry(entry, L"PLN1:", 0x00DE0000);
    CeJournalStart();
    EXPECT_EQ(DeactivateKeyboardDriver(), 0);
    std::vector<CeCall> calls = CeJournalTake();

    std::vector<std::wstring> expected;
    for (int n = 1; n <= 49; ++n)
        expected.push_back(L"HKLM\\Drivers\\Active\\" + Entry(n));
    EXPECT_EQ(OpenedPaths(calls), expected);
    for (const CeCall &call : calls)
        EXPECT_NE(call.function, L"DeactivateDevice");
    for (const wchar_t *entry : {L"00", L"9", L"50"})
        EXPECT_TRUE(ActiveEntryExists(entry));
}

TEST_F(SetupHooks, DriverAtEntry12IsTheLastOneOpened)
{
    FillActiveEntries(12);
    ASSERT_EQ(LoadDriver(), 12);
    CreateActiveEntry(L"13", L"PLN1:", 0x00DE000D);  // never reached

    CeJournalStart();
    EXPECT_EQ(DeactivateKeyboardDriver(), 1);
    std::vector<CeCall> calls = CeJournalTake();

    // Every entry that opens has its "Name" read (03, 06 and 09 have none);
    // only the driver's has its "Hnd" read.
    std::vector<std::wstring> expected;
    for (int n = 1; n <= 12; ++n) {
        std::wstring key = L"HKLM\\Drivers\\Active\\" + Entry(n);
        expected.push_back(L"RegOpenKeyExW " + key);
        expected.push_back(L"RegQueryValueExW " + key + L" Name 1024");
        if (n == 12)
            expected.push_back(L"RegQueryValueExW " + key + L" Hnd 4");
        expected.push_back(L"RegCloseKey " + key);
    }
    expected.push_back(L"DeactivateDevice ");
    std::vector<std::wstring> lines = Lines(calls);
    EXPECT_EQ(lines, expected);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().result, TRUE);
    EXPECT_FALSE(ActiveEntryExists(L"12")) << "the driver was unloaded";
    EXPECT_TRUE(ActiveEntryExists(L"13"));
    EXPECT_EQ(DriverJournal().back(), "PLN_Deinit");
}

TEST_F(SetupHooks, AnEntryWhoseHandleCannotBeReadIsPassedOver)
{
    FillActiveEntries(12);
    ASSERT_EQ(LoadDriver(), 12);
    DeleteActiveEntry(L"05");
    CreateActiveEntry(L"05", L"PLN1:", 0, 0);  // no "Hnd"
    DeleteActiveEntry(L"07");
    CreateActiveEntry(L"07", L"PLN1:", 0x00DE000C, 8);  // "Hnd" too long for 4 bytes

    CeJournalStart();
    EXPECT_EQ(DeactivateKeyboardDriver(), 1);
    std::vector<CeCall> calls = CeJournalTake();
    std::vector<std::wstring> handleReads;
    for (const CeCall &call : calls)
        if (call.function == L"RegQueryValueExW" && call.value == L"Hnd")
            handleReads.push_back(call.path);
    EXPECT_EQ(handleReads, std::vector<std::wstring>({L"HKLM\\Drivers\\Active\\05", L"HKLM\\Drivers\\Active\\07",
                                                      L"HKLM\\Drivers\\Active\\12"}));
    EXPECT_FALSE(ActiveEntryExists(L"12"));
    EXPECT_TRUE(ActiveEntryExists(L"05"));
    EXPECT_TRUE(ActiveEntryExists(L"07"));
}

TEST_F(SetupHooks, UninstallInitContinuesWhetherTheDriverWasFoundOrNot)
{
    ASSERT_EQ(LoadDriver(), 1);
    EXPECT_EQ(Uninstall_Init(nullptr, L"\\ignored"), codeUNINSTALL_INIT_CONTINUE);
    EXPECT_EQ(CountActiveKeyboardEntries(), 0);
    EXPECT_EQ(DriverJournal(), std::vector<std::string>({"PLN_Init", "PLN_Deinit"}));

    // Nothing loaded.
    EXPECT_EQ(Uninstall_Init(nullptr, nullptr), codeUNINSTALL_INIT_CONTINUE);

    // An entry whose handle the device manager does not know: the
    // deactivation fails, removal still goes on.
    CreateActiveEntry(L"03", L"PLN1:", 0);
    CeJournalStart();
    EXPECT_EQ(Uninstall_Init(nullptr, nullptr), codeUNINSTALL_INIT_CONTINUE);
    std::vector<CeCall> calls = CeJournalTake();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().function, L"DeactivateDevice");
    EXPECT_EQ(calls.back().result, FALSE);
}

// The system's programs, started from the build: the control panel once it
// has pushed its settings (its settings key is then open), the palette once
// it has opened the device.
Program StartControlPanel()
{
    Program panel = StartProgram(L"Pelorin.exe");
    EXPECT_TRUE(WaitForWindow(L"Corvane Pelorin", 20000)) << "the control panel opened";
    EXPECT_TRUE(WaitUntil([] { return DriverControlCalls().size() >= 4; }, 20000)) << "its settings pushed";
    return panel;
}

Program StartPalette()
{
    Program palette = StartProgram(L"Kadenza.exe");
    EXPECT_TRUE(WaitForWindow(L"Kadenza", 20000, L"Kadenza")) << "the palette opened";
    EXPECT_TRUE(WaitUntil(
        [] {
            std::vector<std::string> journal = DriverJournal();
            return std::count(journal.begin(), journal.end(), "PLN_Open") >= 2;
        },
        20000))
        << "the palette opened the device";
    return palette;
}

TEST_F(SetupHooks, UninstallInitClosesTheRunningProgramsBeforeTheDriverGoes)
{
    WriteTestBuiltInKey();
    Program panel = StartControlPanel();
    Program palette = StartPalette();

    EXPECT_EQ(Uninstall_Init(nullptr, L"\\ignored"), codeUNINSTALL_INIT_CONTINUE);
    // Both had ended when the hook returned, as closed by their user.
    EXPECT_EQ(WaitProgram(palette, 0), 0u);
    EXPECT_EQ(WaitProgram(panel, 0), 0u);
    EXPECT_EQ(CountActiveKeyboardEntries(), 0);
    // Each closed the device, the palette after its last poll, before the
    // driver was unloaded.
    std::vector<std::string> journal = DriverJournal();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.back(), "PLN_Deinit");
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "PLN_Close"), 2);
    EXPECT_NE(std::find(journal.begin(), journal.end(), "IOCTL_KBD_POLL_PALETTE_KEY 0 -> 0"), journal.end());
}

TEST_F(SetupHooks, AProgramThatDoesNotEndDoesNotStopTheRemoval)
{
    WriteTestBuiltInKey();
    Program panel = StartControlPanel();
    ASSERT_TRUE(SuspendProgram(panel));

    EXPECT_EQ(Uninstall_Init(nullptr, nullptr), codeUNINSTALL_INIT_CONTINUE);
    EXPECT_EQ(CountActiveKeyboardEntries(), 0) << "the driver was unloaded all the same";
    EXPECT_EQ(WaitProgram(panel, 0), DWORD(STILL_ACTIVE));
    // It was asked: once it runs again it closes.
    ASSERT_TRUE(ResumeProgram(panel));
    EXPECT_EQ(WaitProgram(panel), 0u);
}

// A key that a program holds open is not deleted, nor one with an open key
// below it; each goes once nothing holds it.
TEST_F(SetupHooks, UninstallExitLeavesAKeyThatAProgramHoldsOpen)
{
    const struct {
        const char *name;
        bool killed;  // the control panel ends without closing its key
    } cases[] = {{"closed", false}, {"killed", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ResetSystemState();
        WriteTestBuiltInKey();
        // The running control panel holds the settings key; this process a key
        // below the built-in key.
        Program panel = StartControlPanel();
        CreateShortcutFiles();
        HKEY below = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\BuiltIn\\Pelorin\\Below", 0, nullptr, 0, 0, nullptr,
                                  &below, nullptr),
                  ERROR_SUCCESS);

        CeJournalStart();
        EXPECT_EQ(Uninstall_Exit(nullptr), codeUNINSTALL_EXIT_DONE);
        std::vector<CeCall> calls = CeJournalTake();
        CeJournalStop();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].result, ERROR_SHARING_VIOLATION) << "the settings key";
        EXPECT_EQ(calls[1].result, ERROR_SHARING_VIOLATION) << "the built-in key";
        DWORD status = 0;
        EXPECT_TRUE(ReadRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"STATUS", &status)) << "nothing deleted";
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, (std::wstring(kBuiltInKeyPath) + L"\\Below").c_str()));
        EXPECT_EQ(CountShortcutFiles(), 0) << "the removal goes on";

        if (c.killed) {
            KillProgram(panel);
        } else {
            PostMessageW(WaitForWindow(L"Corvane Pelorin"), WM_COMMAND, IDOK, 0);
            EXPECT_EQ(WaitProgram(panel), 0u);
        }
        EXPECT_EQ(RegCloseKey(below), ERROR_SUCCESS);
        CeJournalStart();
        EXPECT_EQ(Uninstall_Exit(nullptr), codeUNINSTALL_EXIT_DONE);
        calls = CeJournalTake();
        CeJournalStop();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].result, ERROR_SUCCESS);
        EXPECT_EQ(calls[1].result, ERROR_SUCCESS);
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSettingsKeyPath));
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath));
    }
}

TEST_F(SetupHooks, UninstallExitDeletesBothKeysThenTheShortcuts)
{
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"REPEAT", 3);
    WriteRegistryString(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"KZ1", L"~");
    WriteTestBuiltInKey();
    WriteRegistryDword(HKEY_LOCAL_MACHINE, (std::wstring(kBuiltInKeyPath) + L"\\Sub").c_str(), L"x", 1);
    CreateShortcutFiles();

    CeJournalStart();
    EXPECT_EQ(Uninstall_Exit(nullptr), codeUNINSTALL_EXIT_DONE);
    EXPECT_EQ(Lines(CeJournalTake()), std::vector<std::wstring>({
                                          L"RegDeleteKeyW HKLM\\SOFTWARE\\Corvane\\Pelorin",
                                          L"RegDeleteKeyW HKLM\\Drivers\\BuiltIn\\Pelorin",
                                      }));
    EXPECT_EQ(probeDeleteAttempts, ShortcutPaths());
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSettingsKeyPath));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath));
    EXPECT_EQ(CountShortcutFiles(), 0);

    // Nothing left: both deletions and the six attempts again, and success.
    probeDeleteAttempts.clear();
    EXPECT_EQ(Uninstall_Exit(nullptr), codeUNINSTALL_EXIT_DONE);
    std::vector<CeCall> calls = CeJournalTake();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_NE(calls[0].result, 0);
    EXPECT_NE(calls[1].result, 0);
    EXPECT_EQ(probeDeleteAttempts.size(), 6u);
}

}  // namespace
