// ceinstall: the CE application installer, as far as the Corvane Pelorin
// package needs it.
//
//   ceinstall install PACKAGE.cab  read the installer cabinet and its control
//                                  file; Install_Init, the folders, files and
//                                  shortcuts it lists, the record, Install_Exit
//   ceinstall install DIR          the same for the programs beside
//                                  ceinstall.exe, copied into DIR
//   ceinstall list PACKAGE.cab     what the cabinet holds and would install
//   ceinstall remove               Uninstall_Init, remove what was installed
//                                  and the record, Uninstall_Exit
//
// Exit codes: 0 done, 1 usage or nothing to remove, 2 cancelled by the setup
// library, 3 something failed, 4 the package was refused.
#include "installer.h"

#include <shlobj.h>
#include <strsafe.h>

namespace {

const wchar_t *const kPackageFiles[] = {L"Pelorin.exe", L"Kadenza.exe", L"PelorinStart.exe"};
const wchar_t kShortcutName[] = L"Pelorin.lnk";
const wchar_t kShortcutTarget[] = L"Pelorin.exe";

bool ShortcutPath(wchar_t *path, size_t units, BOOL create)
{
    wchar_t programs[MAX_PATH];
    return SHGetSpecialFolderPathW(nullptr, programs, CSIDL_PROGRAMS, create)
           && JoinPath(path, units, programs, kShortcutName);
}

bool IsCabinet(const wchar_t *path)
{
    size_t length = wcslen(path);
    return length > 4 && !lstrcmpiW(path + length - 4, L".cab");
}

// The programs beside ceinstall.exe, with the setup library found there too.
int InstallFolderCopy(const wchar_t *dirArgument)
{
    // The folder as recorded: full, without a trailing backslash.
    static InstallRecord record;
    ZeroMemory(&record, sizeof(record));
    wchar_t *installDir = record.installDir;
    DWORD n = GetFullPathNameW(dirArgument, ARRAYSIZE(record.installDir), installDir, nullptr);
    if (!n || n >= ARRAYSIZE(record.installDir)) {
        Say(L"folder name too long: %s", dirArgument);
        return EXIT_USAGE;
    }
    size_t length = wcslen(installDir);
    while (length > 3 && installDir[length - 1] == L'\\')
        installDir[--length] = 0;

    SetupLibrary setup;
    wchar_t folder[MAX_PATH], from[MAX_PATH], to[MAX_PATH];
    if (!InstallerFolder(folder, ARRAYSIZE(folder)) || !JoinPath(from, ARRAYSIZE(from), folder, kSetupLibraryName)
        || !LoadSetupLibrary(from, &setup))
        return EXIT_FAILED;
    HWND window = CreateInstallerWindow(L"Installing", kAppName);
    BOOL previouslyInstalled = IsRecorded(kAppName);

    if (setup.installInit(window, TRUE, previouslyInstalled, installDir) != codeINSTALL_INIT_CONTINUE) {
        Say(L"installation cancelled by %s", kSetupLibraryName);
        DestroyWindow(window);
        FreeSetupLibrary(&setup);
        return EXIT_CANCELLED;
    }

    WORD failedDirs = 0, failedFiles = 0, failedRegKeys = 0, failedShortcuts = 0;
    int rc = SHCreateDirectoryExW(nullptr, installDir, nullptr);
    if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS && rc != ERROR_FILE_EXISTS) {
        Say(L"cannot create %s", installDir);
        ++failedDirs;
    }
    AppendToList(record.folders, ARRAYSIZE(record.folders), installDir);
    for (const wchar_t *name : kPackageFiles) {
        if (!JoinPath(from, ARRAYSIZE(from), folder, name) || !JoinPath(to, ARRAYSIZE(to), installDir, name)
            || !CopyFileW(from, to, FALSE)) {
            Say(L"cannot copy %s", name);
            ++failedFiles;
            continue;
        }
        AppendToList(record.files, ARRAYSIZE(record.files), to);
    }
    wchar_t shortcut[MAX_PATH];
    if (!ShortcutPath(shortcut, ARRAYSIZE(shortcut), TRUE) || !JoinPath(to, ARRAYSIZE(to), installDir, kShortcutTarget)
        || !CreateShortcut(shortcut, to)) {
        Say(L"cannot create the shortcut %s", kShortcutName);
        ++failedShortcuts;
    } else {
        AppendToList(record.files, ARRAYSIZE(record.files), shortcut);
    }
    if (!WriteRecord(kAppName, record)) {
        Say(L"cannot record the installation");
        ++failedRegKeys;
    }

    codeINSTALL_EXIT done = setup.installExit(window, installDir, failedDirs, failedFiles, failedRegKeys, 0,
                                              failedShortcuts);
    int result = EXIT_DONE;
    if (done == codeINSTALL_EXIT_UNINSTALL) {
        Say(L"installation undone at the request of %s", kSetupLibraryName);
        RemoveInstalled(kAppName, record);
        result = EXIT_CANCELLED;
    } else if (failedDirs || failedFiles || failedRegKeys || failedShortcuts) {
        result = EXIT_FAILED;
    } else {
        Say(L"%s installed in %s", kAppName, installDir);
    }
    DestroyWindow(window);
    FreeSetupLibrary(&setup);
    return result;
}

// A record that lists nothing (made by hand, or by an older installer)
// stands for the fixed package of `install DIR`.
void CompleteRecord(InstallRecord *record)
{
    if (record->files[0] || !record->installDir[0])
        return;
    wchar_t path[MAX_PATH];
    for (const wchar_t *name : kPackageFiles)
        if (JoinPath(path, ARRAYSIZE(path), record->installDir, name))
            AppendToList(record->files, ARRAYSIZE(record->files), path);
    if (ShortcutPath(path, ARRAYSIZE(path), FALSE))
        AppendToList(record->files, ARRAYSIZE(record->files), path);
    AppendToList(record->folders, ARRAYSIZE(record->folders), record->installDir);
}

int Remove()
{
    static InstallRecord record;
    if (!ReadRecord(kAppName, &record)) {
        Say(L"%s is not installed", kAppName);
        return EXIT_USAGE;
    }
    CompleteRecord(&record);
    SetupLibrary setup;
    wchar_t path[MAX_PATH];
    if (record.setupLibrary[0]) {
        StringCchCopyW(path, ARRAYSIZE(path), record.setupLibrary);
    } else if (!InstallerFolder(path, ARRAYSIZE(path)) || FAILED(StringCchCatW(path, ARRAYSIZE(path), L"\\"))
               || FAILED(StringCchCatW(path, ARRAYSIZE(path), kSetupLibraryName))) {
        return EXIT_FAILED;
    }
    if (!LoadSetupLibrary(path, &setup))
        return EXIT_FAILED;
    HWND window = CreateInstallerWindow(L"Removing", kAppName);

    if (setup.uninstallInit(window, record.installDir) != codeUNINSTALL_INIT_CONTINUE) {
        Say(L"removal cancelled by the setup library");
        DestroyWindow(window);
        FreeSetupLibrary(&setup);
        return EXIT_CANCELLED;
    }
    int failed = RemoveInstalled(kAppName, record);
    setup.uninstallExit(window);

    DestroyWindow(window);
    FreeSetupLibrary(&setup);
    // The kept setup library goes last, with its folder when that is empty.
    if (record.setupLibrary[0]) {
        DeleteFileW(record.setupLibrary);
        if (wchar_t *slash = wcsrchr(record.setupLibrary, L'\\')) {
            *slash = 0;
            RemoveDirectoryW(record.setupLibrary);
        }
    }
    if (failed)
        return EXIT_FAILED;
    Say(L"%s removed", kAppName);
    return EXIT_DONE;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    KeepOutputToMyself();
    if (argc == 3 && !lstrcmpiW(argv[1], L"install"))
        return IsCabinet(argv[2]) ? InstallCabinet(argv[2]) : InstallFolderCopy(argv[2]);
    if (argc == 3 && !lstrcmpiW(argv[1], L"list"))
        return ListCabinet(argv[2]);
    if (argc == 2 && !lstrcmpiW(argv[1], L"remove"))
        return Remove();
    Print(L"usage: ceinstall install PACKAGE.cab\n       ceinstall install DIR\n"
          L"       ceinstall list PACKAGE.cab\n       ceinstall remove");
    return EXIT_USAGE;
}
