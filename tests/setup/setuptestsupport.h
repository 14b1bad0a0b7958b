// Shared by the setup tests: active-driver entries made by hand, raw registry
// values, the shortcut folders, and a watcher that answers message boxes.
#ifndef TESTS_SETUP_SETUPTESTSUPPORT_H
#define TESTS_SETUP_SETUPTESTSUPPORT_H

#include <windows.h>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

// "Drivers\Active\<entry>" as the device manager makes them (volatile), with a
// "Name" when name is given and a "Hnd" of handleSize bytes when non-zero.
void CreateActiveEntry(const std::wstring &entry, const wchar_t *name, DWORD handle = 0, DWORD handleSize = 4);
bool ActiveEntryExists(const std::wstring &entry);
void DeleteActiveEntry(const std::wstring &entry);
// Removes every entry that is not a loaded driver's (the tests' hand-made ones).
void DeleteHandMadeActiveEntries(const std::vector<std::wstring> &entries);

void WriteRawValue(HKEY root, const wchar_t *path, const wchar_t *name, DWORD type, const void *data, DWORD size);

// The start menu and programs folders, and the six shortcut paths under them
// in deletion order (start menu first).
std::wstring StartMenuFolder();
std::wstring ProgramsFolder();
std::vector<std::wstring> ShortcutPaths();
void CreateShortcutFiles();
int CountShortcutFiles();
void DeleteShortcutFiles();
bool FileExists(const std::wstring &path);

// A folder under %TEMP% recorded as "InstallDir", holding the driver starter
// as its Pelorin.exe: a control panel that leaves a trace (it loads the
// driver). Returns the folder; empty when it could not be made.
std::wstring CreateStandInInstallation(const wchar_t *folderName);
void RemoveStandInInstallation(const std::wstring &folder);

// Answers every message box of this process while it lives, and keeps what
// each one said.
class BoxWatcher {
public:
    struct Box {
        std::wstring caption, text;
        HWND owner;
        int visibleButtons;
        bool okButton;
    };
    BoxWatcher();
    ~BoxWatcher();
    std::vector<Box> Stop();

private:
    void Run();
    std::atomic<bool> stop{false};
    std::vector<Box> boxes;
    std::thread thread;
};

#endif
