// ceinstall: the CE application installer, as far as the Corvane Pelorin
// package needs it.
//
//   ceinstall install DIR   Install_Init, copy the programs into DIR, record
//                           the package, make its shortcut, Install_Exit
//   ceinstall remove        Uninstall_Init, remove the programs, the record
//                           and the shortcut, Uninstall_Exit
//
// The package's setup library is loaded from beside ceinstall.exe, and the
// package's programs are taken from there too. Exit codes: 0 done, 1 usage or
// nothing to remove, 2 cancelled by the setup library, 3 something failed.
#include <windows.h>
#include <shlobj.h>
#include <strsafe.h>
#include <stdio.h>
#include <ce_setup.h>

namespace {

// The package, as its cabinet would describe it.
const wchar_t kAppName[] = L"Corvane Pelorin";
const wchar_t kAppsKeyPath[] = L"SOFTWARE\\Apps\\Corvane Pelorin";  // the installer's record
const wchar_t kInstallDirValue[] = L"InstallDir";
const wchar_t kSetupLibrary[] = L"PelorinSetup.dll";
const wchar_t *const kPackageFiles[] = {L"Pelorin.exe", L"Kadenza.exe", L"PelorinStart.exe"};
const wchar_t kShortcutName[] = L"Pelorin.lnk";
const wchar_t kShortcutTarget[] = L"Pelorin.exe";

enum { EXIT_DONE = 0, EXIT_USAGE = 1, EXIT_CANCELLED = 2, EXIT_FAILED = 3 };

struct SetupLibrary {
    HMODULE module = nullptr;
    pfnINSTALL_INIT installInit = nullptr;
    pfnINSTALL_EXIT installExit = nullptr;
    pfnUNINSTALL_INIT uninstallInit = nullptr;
    pfnUNINSTALL_EXIT uninstallExit = nullptr;
};

void Say(const wchar_t *format, ...)
{
    wchar_t text[1024];
    va_list args;
    va_start(args, format);
    StringCchVPrintfW(text, ARRAYSIZE(text), format, args);
    va_end(args);
    char out[3072];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof(out), nullptr, nullptr)) {
        printf("ceinstall: %s\n", out);
        fflush(stdout);
    }
}

// The folder of ceinstall.exe, where the package lies.
bool PackageFolder(wchar_t *folder, size_t units)
{
    DWORD n = GetModuleFileNameW(nullptr, folder, static_cast<DWORD>(units));
    if (!n || n >= units)
        return false;
    wchar_t *slash = wcsrchr(folder, L'\\');
    if (!slash)
        return false;
    *slash = 0;
    return true;
}

bool JoinPath(wchar_t *out, size_t units, const wchar_t *folder, const wchar_t *name)
{
    return SUCCEEDED(StringCchPrintfW(out, units, L"%s\\%s", folder, name));
}

bool LoadSetupLibrary(SetupLibrary *setup)
{
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    if (!PackageFolder(folder, ARRAYSIZE(folder)) || !JoinPath(path, ARRAYSIZE(path), folder, kSetupLibrary))
        return false;
    setup->module = LoadLibraryW(path);
    if (!setup->module) {
        Say(L"cannot load %s", path);
        return false;
    }
    setup->installInit = reinterpret_cast<pfnINSTALL_INIT>(GetProcAddress(setup->module, szINSTALL_INIT));
    setup->installExit = reinterpret_cast<pfnINSTALL_EXIT>(GetProcAddress(setup->module, szINSTALL_EXIT));
    setup->uninstallInit = reinterpret_cast<pfnUNINSTALL_INIT>(GetProcAddress(setup->module, szUNINSTALL_INIT));
    setup->uninstallExit = reinterpret_cast<pfnUNINSTALL_EXIT>(GetProcAddress(setup->module, szUNINSTALL_EXIT));
    if (setup->installInit && setup->installExit && setup->uninstallInit && setup->uninstallExit)
        return true;
    Say(L"%s lacks a setup hook", path);
    FreeLibrary(setup->module);
    setup->module = nullptr;
    return false;
}

// The installer's window, owner of whatever the setup library shows.
HWND CreateInstallerWindow(const wchar_t *verb)
{
    wchar_t title[128];
    StringCchPrintfW(title, ARRAYSIZE(title), L"%s %s", verb, kAppName);
    HWND window = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE | SS_CENTER, 40, 40,
                                  320, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    return window;
}

bool IsRecorded(wchar_t *installDir, size_t units)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    if (installDir) {
        DWORD size = static_cast<DWORD>((units - 1) * sizeof(wchar_t)), type = 0;
        ZeroMemory(installDir, units * sizeof(wchar_t));
        if (RegQueryValueExW(key, kInstallDirValue, nullptr, &type, reinterpret_cast<BYTE *>(installDir), &size)
                != ERROR_SUCCESS
            || type != REG_SZ)
            installDir[0] = 0;
    }
    RegCloseKey(key);
    return true;
}

bool Record(const wchar_t *installDir)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExW(key, kInstallDirValue, 0, REG_SZ, reinterpret_cast<const BYTE *>(installDir),
                             static_cast<DWORD>((wcslen(installDir) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool ShortcutPath(wchar_t *path, size_t units, BOOL create)
{
    wchar_t programs[MAX_PATH];
    return SHGetSpecialFolderPathW(nullptr, programs, CSIDL_PROGRAMS, create)
        && JoinPath(path, units, programs, kShortcutName);
}

// A CE shortcut is a text file: the length of the command, '#', the command.
bool CreateShortcut(const wchar_t *installDir)
{
    wchar_t path[MAX_PATH], command[MAX_PATH + 8], text[MAX_PATH + 16];
    if (!ShortcutPath(path, ARRAYSIZE(path), TRUE)
        || FAILED(StringCchPrintfW(command, ARRAYSIZE(command), L"\"%s\\%s\"", installDir, kShortcutTarget))
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

// Removes the programs, the folder when empty, the shortcut and the record;
// the number of programs that could not be removed.
int RemovePackage(const wchar_t *installDir)
{
    int failed = 0;
    wchar_t path[MAX_PATH];
    if (installDir[0]) {
        for (const wchar_t *name : kPackageFiles) {
            if (!JoinPath(path, ARRAYSIZE(path), installDir, name))
                continue;
            if (!DeleteFileW(path) && GetLastError() != ERROR_FILE_NOT_FOUND) {
                Say(L"cannot remove %s", path);
                ++failed;
            }
        }
        RemoveDirectoryW(installDir);
    }
    if (ShortcutPath(path, ARRAYSIZE(path), FALSE))
        DeleteFileW(path);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAppsKeyPath);
    return failed;
}

int Install(const wchar_t *dirArgument)
{
    // The folder as recorded: full, without a trailing backslash.
    wchar_t installDir[MAX_PATH];
    DWORD n = GetFullPathNameW(dirArgument, ARRAYSIZE(installDir), installDir, nullptr);
    if (!n || n >= ARRAYSIZE(installDir)) {
        Say(L"folder name too long: %s", dirArgument);
        return EXIT_USAGE;
    }
    size_t length = wcslen(installDir);
    while (length > 3 && installDir[length - 1] == L'\\')
        installDir[--length] = 0;

    SetupLibrary setup;
    if (!LoadSetupLibrary(&setup))
        return EXIT_FAILED;
    HWND window = CreateInstallerWindow(L"Installing");
    BOOL previouslyInstalled = IsRecorded(nullptr, 0);

    if (setup.installInit(window, TRUE, previouslyInstalled, installDir) != codINSTALL_INIT_CONTINUE) {
        Say(L"installation cancelled by %s", kSetupLibrary);
        DestroyWindow(window);
        FreeLibrary(setup.module);
        return EXIT_CANCELLED;
    }

    WORD failedDirs = 0, failedFiles = 0, failedRegKeys = 0, failedRegValues = 0, failedShortcuts = 0;
    int rc = SHCreateDirectoryExW(nullptr, installDir, nullptr);
    if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS && rc != ERROR_FILE_EXISTS) {
        Say(L"cannot create %s", installDir);
        ++failedDirs;
    }
    wchar_t folder[MAX_PATH], from[MAX_PATH], to[MAX_PATH];
    PackageFolder(folder, ARRAYSIZE(folder));
    for (const wchar_t *name : kPackageFiles) {
        if (!JoinPath(from, ARRAYSIZE(from), folder, name) || !JoinPath(to, ARRAYSIZE(to), installDir, name)
            || !CopyFileW(from, to, FALSE)) {
            Say(L"cannot copy %s", name);
            ++failedFiles;
        }
    }
    if (!Record(installDir)) {
        Say(L"cannot record the installation");
        ++failedRegKeys;
    }
    if (!CreateShortcut(installDir)) {
        Say(L"cannot create the shortcut %s", kShortcutName);
        ++failedShortcuts;
    }

    // A program the hook starts must not hold on to our output: whoever reads
    // it would wait for that program's end.
    HANDLE standard[3];
    const DWORD which[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (int i = 0; i < 3; ++i) {
        standard[i] = GetStdHandle(which[i]);
        SetStdHandle(which[i], nullptr);
    }
    codINSTALL_EXIT done = setup.installExit(window, installDir, failedDirs, failedFiles, failedRegKeys,
                                             failedRegValues, failedShortcuts);
    for (int i = 0; i < 3; ++i)
        SetStdHandle(which[i], standard[i]);
    int result = EXIT_DONE;
    if (done == codINSTALL_EXIT_UNINSTALL) {
        Say(L"installation undone at the request of %s", kSetupLibrary);
        RemovePackage(installDir);
        result = EXIT_CANCELLED;
    } else if (failedDirs || failedFiles || failedRegKeys || failedShortcuts) {
        result = EXIT_FAILED;
    } else {
        Say(L"%s installed in %s", kAppName, installDir);
    }
    DestroyWindow(window);
    FreeLibrary(setup.module);
    return result;
}

int Remove()
{
    wchar_t installDir[MAX_PATH];
    if (!IsRecorded(installDir, ARRAYSIZE(installDir))) {
        Say(L"%s is not installed", kAppName);
        return EXIT_USAGE;
    }
    SetupLibrary setup;
    if (!LoadSetupLibrary(&setup))
        return EXIT_FAILED;
    HWND window = CreateInstallerWindow(L"Removing");

    if (setup.uninstallInit(window, installDir) != codUNINSTALL_INIT_CONTINUE) {
        Say(L"removal cancelled by %s", kSetupLibrary);
        DestroyWindow(window);
        FreeLibrary(setup.module);
        return EXIT_CANCELLED;
    }
    int failed = RemovePackage(installDir);
    setup.uninstallExit(window);

    DestroyWindow(window);
    FreeLibrary(setup.module);
    if (failed)
        return EXIT_FAILED;
    Say(L"%s removed", kAppName);
    return EXIT_DONE;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc == 3 && !lstrcmpiW(argv[1], L"install"))
        return Install(argv[2]);
    if (argc == 2 && !lstrcmpiW(argv[1], L"remove"))
        return Remove();
    printf("usage: ceinstall install DIR\n       ceinstall remove\n");
    return EXIT_USAGE;
}
