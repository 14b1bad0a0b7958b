// The installer's shared pieces: messages, hooks, window, record, shortcuts.
#include "installer.h"

#include <shlobj.h>
#include <strsafe.h>

namespace {

const wchar_t kAppsKey[] = L"SOFTWARE\\Apps";  // the platform's record of installed applications
const wchar_t kInstallDirValue[] = L"InstallDir";
// This installer's own bookkeeping beside the platform's "InstallDir".
const wchar_t kFilesValue[] = L"Files";
const wchar_t kFoldersValue[] = L"Folders";
const wchar_t kSetupLibraryValue[] = L"SetupLibrary";

bool AppsKeyPath(const wchar_t *packageName, wchar_t *path, size_t units)
{
    return SUCCEEDED(StringCchPrintfW(path, units, L"%s\\%s", kAppsKey, packageName));
}

// A string value, NUL-terminated whatever was stored; empty, and false,
// when missing or of another type.
bool ReadString(HKEY key, const wchar_t *name, DWORD wantType, wchar_t *out, size_t units)
{
    DWORD size = static_cast<DWORD>((units - 2) * sizeof(wchar_t)), type = 0;
    ZeroMemory(out, units * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(out), &size) == ERROR_SUCCESS
        && type == wantType)
        return true;
    ZeroMemory(out, units * sizeof(wchar_t));
    return false;
}

DWORD ListBytes(const wchar_t *list)
{
    const wchar_t *p = list;
    while (*p)
        p += wcslen(p) + 1;
    return static_cast<DWORD>((p - list + 1) * sizeof(wchar_t));
}

}  // namespace

namespace {

HANDLE output = INVALID_HANDLE_VALUE;

void WriteLine(const wchar_t *prefix, const wchar_t *format, va_list args)
{
    wchar_t text[1024];
    StringCchCopyW(text, ARRAYSIZE(text), prefix);
    size_t used = wcslen(text);
    StringCchVPrintfW(text + used, ARRAYSIZE(text) - used, format, args);
    StringCchCatW(text, ARRAYSIZE(text), L"\n");
    char bytes[3072];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof(bytes), nullptr, nullptr);
    DWORD written;
    if (n > 1 && output != INVALID_HANDLE_VALUE && output)
        WriteFile(output, bytes, n - 1, &written, nullptr);
}

}  // namespace

void KeepOutputToMyself()
{
    output = GetStdHandle(STD_OUTPUT_HANDLE);
    const DWORD standard[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (DWORD which : standard)
        SetStdHandle(which, nullptr);
}

void Say(const wchar_t *format, ...)
{
    va_list args;
    va_start(args, format);
    WriteLine(L"ceinstall: ", format, args);
    va_end(args);
}

void Print(const wchar_t *format, ...)
{
    va_list args;
    va_start(args, format);
    WriteLine(L"", format, args);
    va_end(args);
}

bool JoinPath(wchar_t *out, size_t units, const wchar_t *folder, const wchar_t *name)
{
    return SUCCEEDED(StringCchPrintfW(out, units, L"%s\\%s", folder, name));
}

bool AppendToList(wchar_t *list, size_t units, const wchar_t *item)
{
    size_t used = ListBytes(list) / sizeof(wchar_t) - 1;
    size_t length = wcslen(item);
    if (!length || used + length + 2 > units)
        return false;
    CopyMemory(list + used, item, length * sizeof(wchar_t));
    list[used + length] = 0;
    list[used + length + 1] = 0;
    return true;
}

namespace {

// The hooks' names are the platform's TCHAR strings; the desktop's
// GetProcAddress takes narrow ones.
FARPROC FindHook(HMODULE module, const TCHAR *name)
{
    char narrow[32];
    if (!WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, sizeof(narrow), nullptr, nullptr))
        return nullptr;
    return GetProcAddress(module, narrow);
}

}  // namespace

bool LoadSetupLibrary(const wchar_t *path, SetupLibrary *setup)
{
    setup->module = LoadLibraryW(path);
    if (!setup->module) {
        Say(L"cannot load the setup library %s", path);
        return false;
    }
    setup->installInit = reinterpret_cast<pfnINSTALL_INIT>(FindHook(setup->module, szINSTALL_INIT));
    setup->installExit = reinterpret_cast<pfnINSTALL_EXIT>(FindHook(setup->module, szINSTALL_EXIT));
    setup->uninstallInit = reinterpret_cast<pfnUNINSTALL_INIT>(FindHook(setup->module, szUNINSTALL_INIT));
    setup->uninstallExit = reinterpret_cast<pfnUNINSTALL_EXIT>(FindHook(setup->module, szUNINSTALL_EXIT));
    if (setup->installInit && setup->installExit && setup->uninstallInit && setup->uninstallExit)
        return true;
    Say(L"%s lacks a setup hook", path);
    FreeSetupLibrary(setup);
    return false;
}

void FreeSetupLibrary(SetupLibrary *setup)
{
    if (setup->module)
        FreeLibrary(setup->module);
    *setup = SetupLibrary();
}

HWND CreateInstallerWindow(const wchar_t *verb, const wchar_t *packageName)
{
    wchar_t title[128];
    StringCchPrintfW(title, ARRAYSIZE(title), L"%s %s", verb, packageName);
    HWND window = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE | SS_CENTER, 0, 0, 240,
                                  80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    return window;
}

bool IsRecorded(const wchar_t *packageName)
{
    wchar_t path[MAX_PATH];
    HKEY key;
    if (!AppsKeyPath(packageName, path, ARRAYSIZE(path))
        || RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ReadRecord(const wchar_t *packageName, InstallRecord *record)
{
    wchar_t path[MAX_PATH];
    HKEY key;
    ZeroMemory(record, sizeof(*record));
    if (!AppsKeyPath(packageName, path, ARRAYSIZE(path))
        || RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ReadString(key, kInstallDirValue, REG_SZ, record->installDir, ARRAYSIZE(record->installDir));
    ReadString(key, kSetupLibraryValue, REG_SZ, record->setupLibrary, ARRAYSIZE(record->setupLibrary));
    bool ours = ReadString(key, kFilesValue, REG_MULTI_SZ, record->files, ARRAYSIZE(record->files));
    ReadString(key, kFoldersValue, REG_MULTI_SZ, record->folders, ARRAYSIZE(record->folders));
    RegCloseKey(key);
    return ours;
}

bool FindInstalledPackage(wchar_t *packageName, size_t units)
{
    HKEY apps;
    int found = 0;
    wchar_t name[MAX_PATH];
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppsKey, 0, KEY_READ, &apps) == ERROR_SUCCESS) {
        static InstallRecord record;
        for (DWORD i = 0;; ++i) {
            DWORD length = ARRAYSIZE(name);
            if (RegEnumKeyExW(apps, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            if (!ReadRecord(name, &record))
                continue;
            if (found++)
                Say(L"installed: %s", name);
            else
                StringCchCopyW(packageName, units, name);
        }
        RegCloseKey(apps);
    }
    if (found == 1)
        return true;
    if (found)
        Say(L"installed: %s; more than one package: ceinstall remove NAME", packageName);
    else
        Say(L"nothing is installed");
    return false;
}

bool WriteRecord(const wchar_t *packageName, const InstallRecord &record)
{
    wchar_t path[MAX_PATH];
    HKEY key;
    if (!AppsKeyPath(packageName, path, ARRAYSIZE(path))
        || RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
               != ERROR_SUCCESS)
        return false;
    const struct {
        const wchar_t *name;
        DWORD type;
        const wchar_t *data;
        DWORD size;
    } values[] = {
        {kInstallDirValue, REG_SZ, record.installDir,
         static_cast<DWORD>((wcslen(record.installDir) + 1) * sizeof(wchar_t))},
        {kSetupLibraryValue, REG_SZ, record.setupLibrary,
         static_cast<DWORD>((wcslen(record.setupLibrary) + 1) * sizeof(wchar_t))},
        {kFilesValue, REG_MULTI_SZ, record.files, ListBytes(record.files)},
        {kFoldersValue, REG_MULTI_SZ, record.folders, ListBytes(record.folders)},
    };
    bool ok = true;
    for (const auto &v : values) {
        if (v.type == REG_SZ && v.data != record.installDir && !v.data[0])
            continue;
        ok = RegSetValueExW(key, v.name, 0, v.type, reinterpret_cast<const BYTE *>(v.data), v.size) == ERROR_SUCCESS
             && ok;
    }
    RegCloseKey(key);
    return ok;
}

// A CE shortcut is a text file: the length of the command, '#', the command.
bool CreateShortcut(const wchar_t *path, const wchar_t *target)
{
    wchar_t command[MAX_PATH + 8], text[MAX_PATH + 16];
    if (FAILED(StringCchPrintfW(command, ARRAYSIZE(command), L"\"%s\"", target))
        || FAILED(StringCchPrintfW(text, ARRAYSIZE(text), L"%d#%s", static_cast<int>(wcslen(command)), command)))
        return false;
    char bytes[4 * ARRAYSIZE(text)];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof(bytes), nullptr, nullptr);
    if (n <= 1)
        return false;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes, n - 1, &written, nullptr) && written == static_cast<DWORD>(n - 1);
    CloseHandle(file);
    return ok;
}

int RemoveInstalled(const wchar_t *packageName, const InstallRecord &record)
{
    int failed = 0;
    // A running program's file stays: DeleteFile's reference has it fail for
    // a file open for I/O or mapped, as the device keeps a running program's
    // image to page it in (and Wine refuses it too). The removal then reports
    // what it left and fails.
    for (const wchar_t *file = record.files; *file; file += wcslen(file) + 1) {
        if (!DeleteFileW(file) && GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND) {
            Say(L"cannot remove %s", file);
            ++failed;
        }
    }
    // Folders go only when empty: whatever else the user put there stays.
    for (const wchar_t *folder = record.folders; *folder; folder += wcslen(folder) + 1)
        RemoveDirectoryW(folder);
    wchar_t path[MAX_PATH];
    if (AppsKeyPath(packageName, path, ARRAYSIZE(path)))
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, path);
    return failed;
}
