// The installer round trip, end to end: ceinstall.exe runs the built setup
// library around installing the built cabinet, into the folder its control
// file names or one given, and removing it again; damaged cabinets are
// refused; another application's package is installed and removed as its
// control file says, beside ours.
#include <windows.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <algorithm>
#include "systemfacts.h"
#include "testsupport.h"
#include "registrynames.h"
#include "driverlink.h"
#include "setuptestsupport.h"

namespace {

const wchar_t kControlPanelTitle[] = L"Corvane Pelorin";
const wchar_t *const kPrograms[] = {L"Pelorin.exe", L"Kadenza.exe", L"PelorinStart.exe"};

// The full paths of the running programs with this file name.
std::vector<std::wstring> RunningImages(const wchar_t *name)
{
    std::vector<std::wstring> images;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {sizeof(entry)};
    for (BOOL ok = Process32FirstW(snapshot, &entry); ok; ok = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, name))
            continue;
        if (HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID)) {
            wchar_t path[MAX_PATH];
            DWORD size = MAX_PATH;
            if (QueryFullProcessImageNameW(p, 0, path, &size))
                images.push_back(path);
            CloseHandle(p);
        }
    }
    CloseHandle(snapshot);
    return images;
}

std::string ReadText(const std::wstring &path)
{
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buffer[1024];
    DWORD got;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

bool WriteText(const std::wstring &path, const std::string &text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)
              && written == text.size();
    CloseHandle(file);
    return ok;
}

std::wstring SpecialFolder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

// Where the package's control file puts things, and where the installer
// keeps the setup library for removal.
std::wstring PackageFolder() { return SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\Corvane Pelorin"; }
std::wstring StartupShortcut() { return SpecialFolder(CSIDL_STARTUP) + L"\\PelorinStart.lnk"; }
std::wstring KeptSetupLibrary() { return SpecialFolder(CSIDL_WINDOWS) + L"\\AppMgr\\Corvane Pelorin.dll"; }
std::wstring BuiltCabinet() { return BinDir() + L"..\\Pelorin.cab"; }
// What the cabinet ships: the built programs stripped of their symbols.
std::wstring StrippedDir() { return BinDir() + L"..\\stripped\\"; }

// The names in a folder, "." and ".." left out.
std::vector<std::wstring> FolderNames(const std::wstring &folder, const wchar_t *pattern = L"*")
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// The shortcut text the device's shell reads: the command's length, '#', the command.
std::string ShortcutText(const std::wstring &target)
{
    std::string command = "\"" + Narrow(target) + "\"";
    return std::to_string(command.size()) + "#" + command;
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = TempPath(L"Corvane Pelorin Test");
        otherDir = TempPath(L"Corvane Pelorin Other");
        CleanUp();
    }
    void TearDown() override { CleanUp(); }
    void CleanUp()
    {
        ResetSystemState();
        DeleteShortcutFiles();
        DeleteFileW(StartupShortcut().c_str());
        DeleteFileW(KeptSetupLibrary().c_str());
        // What a package of other names left (see its test).
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\Corvane Corvane Pelorin");
        DeleteFileW((SpecialFolder(CSIDL_WINDOWS) + L"\\AppMgr\\Corvane Corvane Pelorin.dll").c_str());
        for (const std::wstring &folder : {dir, otherDir, PackageFolder()}) {
            for (const wchar_t *name : kPrograms)
                DeleteFileW((folder + L"\\" + name).c_str());
            RemoveDirectoryW(folder.c_str());
        }
    }
    // The built cabinet, into folder instead of the one its control file names.
    DWORD Install(const std::wstring &folder, std::string *output = nullptr)
    {
        std::string out;
        DWORD code = RunProgram(L"ceinstall.exe", L"install \"" + BuiltCabinet() + L"\" \"" + folder + L"\"", &out);
        if (output)
            *output = out;
        return code;
    }
    // The control panel that the installation started: its window closed
    // with OK and its process gone. False when none appeared.
    bool CloseStartedControlPanel()
    {
        HWND window = WaitForWindow(kControlPanelTitle, 20000);
        if (!window)
            return false;
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitForWindowGone(window, 10000));
        EXPECT_TRUE(WaitUntil([] { return RunningImages(L"Pelorin.exe").empty(); }, 10000));
        return true;
    }
    std::wstring dir, otherDir;
};

TEST_F(Installer, InstallCopiesRecordsLinksAndStartsTheInstalledControlPanel)
{
    std::string output;
    EXPECT_EQ(Install(dir, &output), 0u) << output;

    std::vector<BYTE> data;
    DWORD type = 0;
    ASSERT_TRUE(ReadRegistryBytes(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallDirValue, &data, &type));
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t *>(data.data()), data.size() / 2), dir + L'\0');
    for (const wchar_t *name : kPrograms)
        EXPECT_TRUE(FileExists(dir + L"\\" + name)) << Narrow(name);
    std::string command = "\"" + Narrow(dir) + "\\Pelorin.exe\"";
    EXPECT_EQ(ReadText(ProgramsFolder() + L"\\Pelorin.lnk"), std::to_string(command.size()) + "#" + command);
    EXPECT_EQ(ReadText(StartupShortcut()), ShortcutText(dir + L"\\PelorinStart.exe")) << "links follow the folder";

    HWND window = WaitForWindow(kControlPanelTitle, 20000);
    ASSERT_TRUE(window) << "the control panel was started";
    std::vector<std::wstring> images = RunningImages(L"Pelorin.exe");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(lstrcmpiW(images[0].c_str(), (dir + L"\\Pelorin.exe").c_str()), 0) << "from the installed folder";
    // Its start-up loaded the driver, writing the built-in key first.
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath));
    EXPECT_EQ(CountActiveKeyboardEntries(), 1);
    std::vector<std::string> journal = DriverJournal();
    ASSERT_GE(journal.size(), 2u);
    EXPECT_EQ(journal[0], "PLN_Init");
    EXPECT_EQ(journal[1], "PLN_Open");
    EXPECT_TRUE(CloseStartedControlPanel());
}

TEST_F(Installer, SecondInstallIsRefused)
{
    Install(dir);
    CloseStartedControlPanel();

    Program second = StartProgram(L"ceinstall.exe", L"install \"" + BuiltCabinet() + L"\" \"" + otherDir + L"\"");
    EXPECT_EQ(AnswerMessageBox(L"Pelorin Installation", 20000),
              L"Please remove the previously installed Corvane Pelorin first and then run the Setup again.");
    EXPECT_EQ(WaitProgram(second), 2u) << "cancelled";
    EXPECT_TRUE(RunningImages(L"Pelorin.exe").empty()) << "nothing was started";
    EXPECT_EQ(GetFileAttributesW(otherDir.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing was copied";
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadRegistryBytes(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallDirValue, &data));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t *>(data.data())), dir);
    EXPECT_TRUE(FileExists(ProgramsFolder() + L"\\Pelorin.lnk")) << "the installed shortcut stays";
}

TEST_F(Installer, RemoveUnloadsTheDriverAndLeavesNothingBehind)
{
    Install(dir);
    CloseStartedControlPanel();
    // The package's own driver starter makes sure the driver runs, whether or
    // not a control panel did it already.
    ASSERT_EQ(RunProgram(dir + L"\\PelorinStart.exe"), 0u);
    ASSERT_EQ(CountActiveKeyboardEntries(), 1);
    WriteRegistryString(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"KZ1", L"~");
    CreateShortcutFiles();

    std::string output;
    EXPECT_EQ(RunProgram(L"ceinstall.exe", L"remove", &output), 0u) << output;
    EXPECT_EQ(CountActiveKeyboardEntries(), 0) << "the driver's active entry is gone";
    ASSERT_FALSE(DriverJournal().empty());
    EXPECT_EQ(DriverJournal().back(), "PLN_Deinit");
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSettingsKeyPath));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kInstallKeyPath));
    EXPECT_EQ(CountShortcutFiles(), 0);
    EXPECT_EQ(GetFileAttributesW(dir.c_str()), INVALID_FILE_ATTRIBUTES);

    // Nothing left to remove.
    EXPECT_EQ(RunProgram(L"ceinstall.exe", L"remove", &output), 1u);
}

TEST_F(Installer, NewInstallStartsAgainFromTheDefaults)
{
    Install(dir);
    ASSERT_TRUE(CloseStartedControlPanel());
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"REPEAT", 0);
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"STATUS", 0);
    ASSERT_EQ(RunProgram(L"ceinstall.exe", L"remove"), 0u);
    ASSERT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath));

    Install(dir);
    ASSERT_TRUE(WaitForWindow(kControlPanelTitle, 20000));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath)) << "written anew";
    EXPECT_EQ(CountActiveKeyboardEntries(), 1);
    for (const SettingFacts &setting : kSettingFacts) {
        DWORD value = 99;
        EXPECT_TRUE(ReadRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKeyPath, setting.name, &value));
        EXPECT_EQ(value, setting.defaultValue) << Narrow(setting.name);
    }
    EXPECT_TRUE(CloseStartedControlPanel());
}

}  // namespace

namespace {

TEST_F(Installer, CabinetInstallsWhatItsControlFileListsAndRemovesExactlyThat)
{
    CreateShortcutFiles();  // left by an earlier installation: Install_Init deletes them first
    std::string output;
    ASSERT_EQ(RunProgram(L"ceinstall.exe", L"install \"" + BuiltCabinet() + L"\"", &output), 0u) << output;

    std::vector<BYTE> data;
    ASSERT_TRUE(ReadRegistryBytes(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallDirValue, &data));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t *>(data.data())), PackageFolder());
    // The three programs, as shipped, and nothing else; the two shortcuts.
    std::vector<std::wstring> installed = FolderNames(PackageFolder());
    EXPECT_EQ(installed.size(), 3u);
    for (const wchar_t *name : kPrograms)
        EXPECT_EQ(ReadText(PackageFolder() + L"\\" + name), ReadText(StrippedDir() + name)) << Narrow(name);
    EXPECT_EQ(ReadText(ProgramsFolder() + L"\\Pelorin.lnk"), ShortcutText(PackageFolder() + L"\\Pelorin.exe"));
    EXPECT_EQ(ReadText(StartupShortcut()), ShortcutText(PackageFolder() + L"\\PelorinStart.exe"));
    EXPECT_EQ(CountShortcutFiles(), 1) << "the old shortcuts went before the new one came";
    EXPECT_EQ(ReadText(KeptSetupLibrary()), ReadText(StrippedDir() + L"PelorinSetup.dll"));

    // Install_Exit ran after the record: the installed control panel runs.
    ASSERT_TRUE(WaitForWindow(kControlPanelTitle, 20000));
    std::vector<std::wstring> images = RunningImages(L"Pelorin.exe");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(lstrcmpiW(images[0].c_str(), (PackageFolder() + L"\\Pelorin.exe").c_str()), 0);
    EXPECT_TRUE(CloseStartedControlPanel());

    // A second installation is refused by Install_Init, and the installer honours it.
    Program second = StartProgram(L"ceinstall.exe", L"install \"" + BuiltCabinet() + L"\"");
    EXPECT_EQ(AnswerMessageBox(L"Pelorin Installation", 20000),
              L"Please remove the previously installed Corvane Pelorin first and then run the Setup again.");
    EXPECT_EQ(WaitProgram(second), 2u);
    EXPECT_TRUE(RunningImages(L"Pelorin.exe").empty());
    EXPECT_EQ(FolderNames(PackageFolder()), installed);

    ASSERT_EQ(RunProgram(L"ceinstall.exe", L"remove", &output), 0u) << output;
    EXPECT_EQ(GetFileAttributesW(PackageFolder().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(FileExists(StartupShortcut()));
    EXPECT_EQ(CountShortcutFiles(), 0);
    EXPECT_FALSE(FileExists(KeptSetupLibrary()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kInstallKeyPath));
    EXPECT_EQ(CountActiveKeyboardEntries(), 0) << "Uninstall_Init unloaded the driver";
}

// The device registers a package as "<provider> <application>": the same
// programs under application "Corvane Pelorin" are recorded as "Corvane
// Corvane Pelorin", where Install_Exit does not look, and nothing starts.
TEST_F(Installer, ACabinetWhoseNamesGiveAnotherKeyInstallsWithNothingStarted)
{
    const wchar_t kOtherKey[] = L"SOFTWARE\\Apps\\Corvane Corvane Pelorin";
    const std::wstring cabinet = BinDir() + L"..\\badcabs\\other-names.cab";
    std::string output;
    ASSERT_EQ(RunProgram(L"ceinstall.exe", L"list \"" + cabinet + L"\"", &output), 0u) << output;
    EXPECT_NE(output.find("record SOFTWARE\\Apps\\Corvane Corvane Pelorin\n"), std::string::npos) << output;

    ASSERT_EQ(RunProgram(L"ceinstall.exe", L"install \"" + cabinet + L"\"", &output), 0u) << output;
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadRegistryBytes(HKEY_LOCAL_MACHINE, kOtherKey, kInstallDirValue, &data));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t *>(data.data())), PackageFolder());
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kInstallKeyPath));
    EXPECT_TRUE(FileExists(PackageFolder() + L"\\Pelorin.exe"));
    // Install_Exit has returned: a program it started would be running.
    EXPECT_TRUE(RunningImages(L"Pelorin.exe").empty()) << "nothing was started";

    ASSERT_EQ(RunProgram(L"ceinstall.exe", L"remove \"Corvane Corvane Pelorin\"", &output), 0u) << output;
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kOtherKey));
    EXPECT_EQ(GetFileAttributesW(PackageFolder().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(FileExists(SpecialFolder(CSIDL_WINDOWS) + L"\\AppMgr\\Corvane Corvane Pelorin.dll"));
}

TEST_F(Installer, DamagedCabinetsAreRefusedWithNothingWritten)
{
    const struct {
        const wchar_t *cabinet;
        const char *reason;
    } cases[] = {
        {L"truncated", "truncated"},
        {L"signature", "no MSCF signature"},
        {L"control-offset", "points outside the file"},
        {L"control-count", "points outside the file"},
        {L"control-name-offset", "points outside the file"},
        {L"member-separator", "not NAME.NNN"},
        {L"file-separator", "not one plain file name"},
        {L"folder-dotdot", "not one plain file name"},
        {L"duplicate-extension", "same numeric extension"},
        {L"missing-member", "missing from the cabinet: Extra.exe (.004)"},
    };
    const std::wstring programFiles = SpecialFolder(CSIDL_PROGRAM_FILES);
    const std::wstring tempFolder = TempPath();
    const size_t programFilesBefore = FolderNames(programFiles).size();
    const size_t tempBefore = FolderNames(tempFolder, L"cei*.tmp").size();
    for (const auto &c : cases) {
        std::string output;
        std::wstring path = BinDir() + L"..\\badcabs\\" + c.cabinet + L".cab";
        ASSERT_TRUE(FileExists(path)) << Narrow(path);
        EXPECT_EQ(RunProgram(L"ceinstall.exe", L"install \"" + path + L"\"", &output), 4u) << Narrow(c.cabinet);
        EXPECT_NE(output.find(c.reason), std::string::npos) << Narrow(c.cabinet) << ": " << output;
        EXPECT_NE(output.find("nothing installed"), std::string::npos) << output;
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kInstallKeyPath)) << Narrow(c.cabinet);
        EXPECT_EQ(FolderNames(programFiles).size(), programFilesBefore) << Narrow(c.cabinet);
        EXPECT_EQ(FolderNames(tempFolder, L"cei*.tmp").size(), tempBefore) << Narrow(c.cabinet);
        EXPECT_EQ(CountShortcutFiles(), 0) << Narrow(c.cabinet);
        EXPECT_FALSE(FileExists(StartupShortcut())) << Narrow(c.cabinet);
        EXPECT_FALSE(FileExists(KeptSetupLibrary())) << Narrow(c.cabinet);
    }
    EXPECT_TRUE(RunningImages(L"Pelorin.exe").empty()) << "no hook ran";
}

// A package's links, read in either form: the built cabinet's without a 0
// after the ids, the same control file's with one.
TEST_F(Installer, LinksAreReadWithOrWithoutATrailingZero)
{
    auto shortcuts = [](const std::wstring &cabinet) {
        std::string output, lines;
        EXPECT_EQ(RunProgram(L"ceinstall.exe", L"list \"" + cabinet + L"\"", &output), 0u) << output;
        output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
        for (size_t at = output.find("shortcut "); at != std::string::npos; at = output.find("shortcut ", at + 1))
            lines += output.substr(at, output.find('\n', at) - at) + "\n";
        return lines;
    };
    const std::string expected = "shortcut " + Narrow(ProgramsFolder()) + "\\Pelorin.lnk -> " + Narrow(PackageFolder())
                                 + "\\Pelorin.exe\nshortcut " + Narrow(StartupShortcut()) + " -> "
                                 + Narrow(PackageFolder()) + "\\PelorinStart.exe\n";
    EXPECT_EQ(shortcuts(BuiltCabinet()), expected);
    EXPECT_EQ(shortcuts(BinDir() + L"..\\badcabs\\links-with-zero.cab"), expected);
}

// The installer knows no package of its own: another application's cabinet
// is installed as its control file says, beside ours, and each removal takes
// away exactly what its installation recorded.
class OtherApplication : public Installer {
protected:
    void SetUp() override
    {
        Installer::SetUp();
        RemoveOther();
    }
    void TearDown() override
    {
        RemoveOther();
        Installer::TearDown();
    }
    void RemoveOther()
    {
        for (const std::wstring &file :
             {OtherFolder() + L"\\Data\\Notes.dat", OtherFolder() + L"\\Notes.exe", OtherFolder() + L"\\Notes Data.lnk",
              ProgramsFolder() + L"\\Notes.lnk", SharedLibrary()})
            DeleteFileW(file.c_str());
        RemoveDirectoryW((OtherFolder() + L"\\Data").c_str());
        RemoveDirectoryW(OtherFolder().c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kOtherKey);
    }
    static std::wstring OtherFolder() { return SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\Fenwick Notes"; }
    // The package's shared library, in the device's Windows folder.
    static std::wstring SharedLibrary() { return SpecialFolder(CSIDL_WINDOWS) + L"\\FwShared.dll"; }
    static std::wstring OtherCabinet() { return BinDir() + L"..\\badcabs\\other-application.cab"; }
    static constexpr const wchar_t *kOtherKey = L"SOFTWARE\\Apps\\Fenwick Notes";
};

TEST_F(OtherApplication, IsInstalledAndRemovedAsItsControlFileSays)
{
    std::string output;
    ASSERT_EQ(RunProgram(L"ceinstall.exe", L"install \"" + OtherCabinet() + L"\"", &output), 0u) << output;
    EXPECT_EQ(ReadText(OtherFolder() + L"\\Notes.exe"), "MZ notes program");
    EXPECT_EQ(ReadText(OtherFolder() + L"\\Data\\Notes.dat"), "notes data\n");
    EXPECT_EQ(ReadText(ProgramsFolder() + L"\\Notes.lnk"), ShortcutText(OtherFolder() + L"\\Notes.exe"));
    EXPECT_EQ(ReadText(OtherFolder() + L"\\Notes Data.lnk"), ShortcutText(OtherFolder() + L"\\Data"));
    EXPECT_EQ(ReadText(SharedLibrary()), "MZ shared");
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadRegistryBytes(HKEY_LOCAL_MACHINE, kOtherKey, kInstallDirValue, &data));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t *>(data.data())), OtherFolder());
    // Nothing of ours: no record, no shortcut, no setup library, no program started.
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kInstallKeyPath));
    EXPECT_EQ(CountShortcutFiles(), 0);
    EXPECT_FALSE(FileExists(StartupShortcut()));
    EXPECT_TRUE(FolderNames(SpecialFolder(CSIDL_WINDOWS) + L"\\AppMgr").empty());
    EXPECT_TRUE(RunningImages(L"Pelorin.exe").empty());

    // Ours beside it: a removal must be told which.
    ASSERT_EQ(Install(dir, &output), 0u) << output;
    ASSERT_TRUE(CloseStartedControlPanel());
    EXPECT_EQ(RunProgram(L"ceinstall.exe", L"remove", &output), 1u) << output;
    EXPECT_NE(output.find("more than one"), std::string::npos) << output;
    EXPECT_TRUE(FileExists(OtherFolder() + L"\\Notes.exe"));
    EXPECT_TRUE(FileExists(dir + L"\\Pelorin.exe"));

    ASSERT_EQ(RunProgram(L"ceinstall.exe", L"remove \"Fenwick Notes\"", &output), 0u) << output;
    EXPECT_EQ(GetFileAttributesW(OtherFolder().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(FileExists(ProgramsFolder() + L"\\Notes.lnk"));
    EXPECT_FALSE(FileExists(SharedLibrary())) << "its last user is gone";
    EXPECT_TRUE(FileExists(SpecialFolder(CSIDL_WINDOWS) + L"\\notepad.exe")) << "the Windows folder stays";
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kOtherKey));
    EXPECT_TRUE(FileExists(dir + L"\\Pelorin.exe")) << "ours stays";
    EXPECT_TRUE(FileExists(KeptSetupLibrary()));

    // Ours is now the one installed.
    ASSERT_EQ(RunProgram(L"ceinstall.exe", L"remove", &output), 0u) << output;
    EXPECT_EQ(GetFileAttributesW(dir.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kInstallKeyPath));
    EXPECT_FALSE(FileExists(KeptSetupLibrary()));
}

// A shared file that is on the device already belongs to another package
// (or the ROM): installing leaves it as it is, and removing leaves it there.
TEST_F(OtherApplication, LeavesASharedFileThatWasThereAlready)
{
    ASSERT_TRUE(WriteText(SharedLibrary(), "another's"));
    std::string output;
    ASSERT_EQ(RunProgram(L"ceinstall.exe", L"install \"" + OtherCabinet() + L"\"", &output), 0u) << output;
    EXPECT_EQ(ReadText(OtherFolder() + L"\\Notes.exe"), "MZ notes program");
    EXPECT_EQ(ReadText(SharedLibrary()), "another's");
    ASSERT_EQ(RunProgram(L"ceinstall.exe", L"remove \"Fenwick Notes\"", &output), 0u) << output;
    EXPECT_EQ(GetFileAttributesW(OtherFolder().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadText(SharedLibrary()), "another's");
}

}  // namespace
