// What installing and removing share: the installer's messages, the setup
// library's hooks, its window, the package's record and the shortcuts.
#ifndef CEINSTALL_INSTALLER_H
#define CEINSTALL_INSTALLER_H

#include <windows.h>
#include <ce_setup.h>

// Exit codes of ceinstall.
enum { EXIT_DONE = 0, EXIT_USAGE = 1, EXIT_CANCELLED = 2, EXIT_FAILED = 3, EXIT_REFUSED = 4 };

struct SetupLibrary {
    HMODULE module = nullptr;
    pfnINSTALL_INIT installInit = nullptr;
    pfnINSTALL_EXIT installExit = nullptr;
    pfnUNINSTALL_INIT uninstallInit = nullptr;
    pfnUNINSTALL_EXIT uninstallExit = nullptr;
};

// What was installed, as recorded under "SOFTWARE\Apps\<package name>" so
// that removal takes away exactly that. A package's name is the one the
// device registers it under: "<provider> <application>" (MakePackageName, package.cpp).
struct InstallRecord {
    wchar_t installDir[MAX_PATH];
    wchar_t setupLibrary[MAX_PATH];  // the kept copy; empty: the package has none
    wchar_t files[4096];             // installed files and shortcuts, NUL-separated, ending in an empty one
    wchar_t folders[2048];           // made folders, deepest first, likewise
};

// Any process started from here, by a hook or by Wine itself (its desktop),
// would inherit our standard handles and hold whoever reads our output
// waiting until it ends: the handles are hidden for our whole run, and our
// messages go to the kept output.
void KeepOutputToMyself();
void Say(const wchar_t *format, ...);    // "ceinstall: ..." and a new line
void Print(const wchar_t *format, ...);  // a line as it stands
bool JoinPath(wchar_t *out, size_t units, const wchar_t *folder, const wchar_t *name);
// Appends one string to a NUL-separated list of units units.
bool AppendToList(wchar_t *list, size_t units, const wchar_t *item);

bool LoadSetupLibrary(const wchar_t *path, SetupLibrary *setup);
void FreeSetupLibrary(SetupLibrary *setup);
HWND CreateInstallerWindow(const wchar_t *verb, const wchar_t *packageName);

// Whether the platform's record of a package exists, whoever made it.
bool IsRecorded(const wchar_t *packageName);
// Only a record that this installer wrote, listing what it installed, is read.
bool ReadRecord(const wchar_t *packageName, InstallRecord *record);
bool WriteRecord(const wchar_t *packageName, const InstallRecord &record);
// The one package whose record this installer wrote; false, with the reason
// said, when there is none or more than one.
bool FindInstalledPackage(wchar_t *packageName, size_t units);

// A CE shortcut file at path that starts target.
bool CreateShortcut(const wchar_t *path, const wchar_t *target);

// Removes the recorded files and folders and the record itself; the number
// of files that could not be removed.
int RemoveInstalled(const wchar_t *packageName, const InstallRecord &record);

// ceinstall install PACKAGE.cab [FOLDER] / ceinstall list PACKAGE.cab;
// installDir, when not null, stands for the package's install folder.
int InstallCabinet(const wchar_t *path, const wchar_t *installDir);
int ListCabinet(const wchar_t *path);

#endif
