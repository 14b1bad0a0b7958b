// The hooks around installation: refuse to install over an earlier
// installation, and start the installed control panel once afterwards.
#include <windows.h>
#include "setuphooks.h"
#include "registrynames.h"

const wchar_t kRefusalText[] =
    L"Please remove the previously installed Corvane Pelorin first and then run the Setup again.";
const wchar_t kRefusalCaption[] = L"Pelorin Installation";

codeINSTALL_INIT Install_Init(HWND hwndParent, BOOL fFirstCall, BOOL fPreviouslyInstalled, LPCTSTR pszInstallDir)
{
    // Every call over an earlier installation refuses again, first or not.
    if (fPreviouslyInstalled) {
        MessageBoxW(hwndParent, kRefusalText, kRefusalCaption, MB_OK);
        return codeINSTALL_INIT_CANCEL;
    }
    DeleteShortcuts();
    return codeINSTALL_INIT_CONTINUE;
}

codeINSTALL_EXIT Install_Exit(HWND hwndParent, LPCTSTR pszInstallDir, WORD cFailedDirs, WORD cFailedFiles,
                              WORD cFailedRegKeys, WORD cFailedRegVals, WORD cFailedShortcuts)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstallKeyPath, 0, 0, &key) != ERROR_SUCCESS)
        return codeINSTALL_EXIT_DONE;

    // The folder as the installer recorded it, not as handed to us.
    wchar_t path[512] = {0};
    DWORD size = sizeof(path);
    bool haveProgram = false;
    if (RegQueryValueExW(key, kInstallDirValue, NULL, NULL, reinterpret_cast<BYTE *>(path), &size) == ERROR_SUCCESS)
        haveProgram = MakeProgramPath(path, COUNTOF(path), size);
    RegCloseKey(key);

    if (haveProgram)
        CreateProcessW(path, NULL, NULL, NULL, FALSE, CREATE_NEW_CONSOLE, NULL, NULL, NULL, NULL);
    return codeINSTALL_EXIT_DONE;
}
