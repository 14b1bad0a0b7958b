// ceinstall: the CE application installer, for packages of folders, files
// and shortcuts with a setup library. It knows no package of its own: what
// it installs comes from the cabinet's control file, what it removes from
// what it recorded.
//
//   ceinstall install PACKAGE.cab [FOLDER]  read the installer cabinet and its
//                                  control file; Install_Init, the folders,
//                                  files and shortcuts it lists, the record,
//                                  Install_Exit. FOLDER, when given, stands
//                                  for the install folder the package names,
//                                  as when the device's user picks another.
//   ceinstall list PACKAGE.cab     what the cabinet holds and would install
//   ceinstall remove [NAME]        Uninstall_Init, remove what was recorded
//                                  and the record, Uninstall_Exit. NAME is
//                                  the one the package is registered under,
//                                  "<provider> <application>"; without it,
//                                  the one package installed
//
// Exit codes: 0 done, 1 usage or nothing to remove, 2 cancelled by the setup
// library, 3 something failed, 4 the package was refused.
#include "installer.h"

#include <strsafe.h>

namespace {

int Remove(const wchar_t *named)
{
    wchar_t packageName[MAX_PATH];
    if (named) {
        StringCchCopyW(packageName, ARRAYSIZE(packageName), named);
    } else if (!FindInstalledPackage(packageName, ARRAYSIZE(packageName))) {
        return EXIT_USAGE;
    }
    static InstallRecord record;
    if (!ReadRecord(packageName, &record)) {
        Say(L"%s is not installed", packageName);
        return EXIT_USAGE;
    }
    // A package without a setup library is removed without hooks.
    SetupLibrary setup;
    if (record.setupLibrary[0] && !LoadSetupLibrary(record.setupLibrary, &setup))
        return EXIT_FAILED;
    HWND window = CreateInstallerWindow(L"Removing", packageName);

    if (setup.uninstallInit && setup.uninstallInit(window, record.installDir) != codeUNINSTALL_INIT_CONTINUE) {
        Say(L"removal cancelled by the setup library");
        DestroyWindow(window);
        FreeSetupLibrary(&setup);
        return EXIT_CANCELLED;
    }
    int failed = RemoveInstalled(packageName, record);
    if (setup.uninstallExit)
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
    if (failed) {
        Say(L"removal of %s incomplete: %d file%s left", packageName, failed, failed == 1 ? L"" : L"s");
        return EXIT_FAILED;
    }
    Say(L"%s removed", packageName);
    return EXIT_DONE;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    KeepOutputToMyself();
    if ((argc == 3 || argc == 4) && !lstrcmpiW(argv[1], L"install"))
        return InstallCabinet(argv[2], argc == 4 ? argv[3] : nullptr);
    if (argc == 3 && !lstrcmpiW(argv[1], L"list"))
        return ListCabinet(argv[2]);
    if ((argc == 2 || argc == 3) && !lstrcmpiW(argv[1], L"remove"))
        return Remove(argc == 3 ? argv[2] : nullptr);
    Print(L"usage: ceinstall install PACKAGE.cab [FOLDER]\n       ceinstall list PACKAGE.cab\n"
          L"       ceinstall remove [NAME]");
    return EXIT_USAGE;
}
