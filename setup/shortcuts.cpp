// Shortcuts under the system's link names, in the start menu and the
// programs folder: left over from an earlier installation or this one.
#include <windows.h>
#include <shlobj.h>
#include "setuphooks.h"

const wchar_t *const kShortcutNames[3] = {L"\\Pelorin.lnk", L"\\Pelorin (2).lnk", L"\\Pelorin (3).lnk"};

namespace {

// A folder that cannot be found is skipped: its buffer holds no path.
void DeleteShortcutsIn(int folder, wchar_t *folderPath, wchar_t *workPath)
{
    if (!SHGetSpecialFolderPath(NULL, folderPath, folder, FALSE))
        return;
    for (size_t i = 0; i < COUNTOF(kShortcutNames); ++i) {
        // A path that would not fit is not one of ours; no result is looked at.
        if (CopyText(workPath, MAX_PATH, folderPath) && AppendText(workPath, MAX_PATH, kShortcutNames[i]))
            DeleteFileW(workPath);
    }
}

}  // namespace

void DeleteShortcuts()
{
    wchar_t startMenu[MAX_PATH];
    wchar_t programs[MAX_PATH];
    wchar_t workPath[MAX_PATH];
    DeleteShortcutsIn(CSIDL_STARTMENU, startMenu, workPath);
    DeleteShortcutsIn(CSIDL_PROGRAMS, programs, workPath);
}
