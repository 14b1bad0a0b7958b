// Works on the desktop registry and files directly, so that nothing here
// shows in the journal of the code under test.
#define CEPLATFORM_WIN32_CALLS
#include "setuptestsupport.h"
#include "testsupport.h"
#include "registrynames.h"
#include <shlobj.h>
#include <strsafe.h>

namespace {

const wchar_t kActiveRoot[] = L"Drivers\\Active";

std::wstring ActivePath(const std::wstring &entry) { return std::wstring(kActiveRoot) + L"\\" + entry; }

std::wstring SpecialFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE);
    return path;
}

}  // namespace

void CreateActiveEntry(const std::wstring &entry, const wchar_t *name, DWORD handle, DWORD handleSize)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Drivers", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
        == ERROR_SUCCESS)
        RegCloseKey(key);
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kActiveRoot, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr)
        == ERROR_SUCCESS)
        RegCloseKey(key);
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, ActivePath(entry).c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return;
    if (name)
        RegSetValueExW(key, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE *>(name),
                       static_cast<DWORD>((wcslen(name) + 1) * sizeof(wchar_t)));
    if (handleSize) {
        BYTE data[8] = {};
        CopyMemory(data, &handle, sizeof(handle));
        RegSetValueExW(key, L"Hnd", 0, handleSize == 4 ? REG_DWORD : REG_BINARY, data, handleSize);
    }
    RegCloseKey(key);
}

bool ActiveEntryExists(const std::wstring &entry)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ActivePath(entry).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void DeleteActiveEntry(const std::wstring &entry) { RegDeleteTreeW(HKEY_LOCAL_MACHINE, ActivePath(entry).c_str()); }

void DeleteHandMadeActiveEntries(const std::vector<std::wstring> &entries)
{
    for (const std::wstring &entry : entries)
        DeleteActiveEntry(entry);
}

void WriteRawValue(HKEY root, const wchar_t *path, const wchar_t *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
}

std::wstring StartMenuFolder() { return SpecialFolder(CSIDL_STARTMENU); }
std::wstring ProgramsFolder() { return SpecialFolder(CSIDL_PROGRAMS); }

std::vector<std::wstring> ShortcutPaths()
{
    std::vector<std::wstring> paths;
    for (const std::wstring &folder : {StartMenuFolder(), ProgramsFolder()})
        for (const wchar_t *name : {L"\\Pelorin.lnk", L"\\Pelorin (2).lnk", L"\\Pelorin (3).lnk"})
            paths.push_back(folder + name);
    return paths;
}

void CreateShortcutFiles()
{
    for (const std::wstring &path : ShortcutPaths()) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(file, "10#\"\\x.exe\"", 11, &written, nullptr);
            CloseHandle(file);
        }
    }
}

bool FileExists(const std::wstring &path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

int CountShortcutFiles()
{
    int n = 0;
    for (const std::wstring &path : ShortcutPaths())
        n += FileExists(path);
    return n;
}

void DeleteShortcutFiles()
{
    for (const std::wstring &path : ShortcutPaths())
        DeleteFileW(path.c_str());
}

BoxWatcher::BoxWatcher() : thread([this] { Run(); }) {}

BoxWatcher::~BoxWatcher() { Stop(); }

std::vector<BoxWatcher::Box> BoxWatcher::Stop()
{
    stop = true;
    if (thread.joinable())
        thread.join();
    return boxes;
}

void BoxWatcher::Run()
{
    struct Search {
        HWND found;
    };
    while (!stop) {
        Search search = {nullptr};
        EnumWindows(
            [](HWND window, LPARAM param) CALLBACK -> BOOL {
                DWORD pid = 0;
                wchar_t cls[16] = {};
                GetWindowThreadProcessId(window, &pid);
                GetClassNameW(window, cls, ARRAYSIZE(cls));
                if (pid == GetCurrentProcessId() && !lstrcmpW(cls, L"#32770") && IsWindowVisible(window)) {
                    reinterpret_cast<Search *>(param)->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found) {
            Sleep(20);
            continue;
        }
        Box box = {};
        wchar_t text[1024] = {};
        GetWindowTextW(search.found, text, ARRAYSIZE(text));
        box.caption = text;
        text[0] = 0;
        GetDlgItemTextW(search.found, 0xFFFF, text, ARRAYSIZE(text));
        box.text = text;
        box.owner = GetWindow(search.found, GW_OWNER);
        for (HWND child = GetWindow(search.found, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[16] = {};
            GetClassNameW(child, cls, ARRAYSIZE(cls));
            if (!lstrcmpiW(cls, L"Button") && IsWindowVisible(child))
                ++box.visibleButtons;
        }
        HWND ok = GetDlgItem(search.found, IDOK);
        box.okButton = ok && IsWindowVisible(ok);
        boxes.push_back(box);
        PostMessageW(search.found, WM_COMMAND, IDOK, 0);
        WaitForWindowGone(search.found);
    }
}

std::wstring CreateStandInInstallation(const wchar_t *folderName)
{
    std::wstring folder = TempPath(folderName);
    CreateDirectoryW(folder.c_str(), nullptr);
    if (!CopyFileW((BinDir() + L"PelorinStart.exe").c_str(), (folder + L"\\Pelorin.exe").c_str(), FALSE))
        return L"";
    WriteRegistryString(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallDirValue, folder);
    return folder;
}

void RemoveStandInInstallation(const std::wstring &folder)
{
    if (folder.empty())
        return;
    DeleteFileW((folder + L"\\Pelorin.exe").c_str());
    RemoveDirectoryW(folder.c_str());
}
