#define CEPLATFORM_WIN32_CALLS
#define SHELLPROBE_IMPL
#include "shellprobe.h"
#include <strsafe.h>

std::vector<std::wstring> probeDeleteAttempts;
int probeFailingFolder = -1;
std::vector<int> probeFolderLookups;

BOOL WINAPI ProbeDeleteFileW(LPCWSTR path)
{
    probeDeleteAttempts.push_back(path);
    return DeleteFileW(path);
}

BOOL WINAPI ProbeSHGetSpecialFolderPathW(HWND owner, LPWSTR path, int folder, BOOL create)
{
    probeFolderLookups.push_back(folder);
    if (folder == probeFailingFolder) {
        // What a failed look-up may leave behind: a path that must not be used.
        StringCchCopyW(path, MAX_PATH, L"C:\\decoy");
        return FALSE;
    }
    return SHGetSpecialFolderPathW(owner, path, folder, create);
}
