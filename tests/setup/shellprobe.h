// Watches the setup code's file deletions and special-folder look-ups when it
// is compiled into a test: forced in front of the setup sources, it routes
// both calls through recording stand-ins that then make the real call.
#ifndef TESTS_SETUP_SHELLPROBE_H
#define TESTS_SETUP_SHELLPROBE_H

#include <windows.h>
#include <shlobj.h>

#ifdef __cplusplus
#include <string>
#include <vector>

// Every path DeleteFileW was asked for, oldest first.
extern std::vector<std::wstring> probeDeleteAttempts;
// The CSIDL whose look-up fails (its buffer then holds a decoy path), or -1.
extern int probeFailingFolder;
// Looked up by the probe, in order.
extern std::vector<int> probeFolderLookups;

BOOL WINAPI ProbeDeleteFileW(LPCWSTR path);
BOOL WINAPI ProbeSHGetSpecialFolderPathW(HWND owner, LPWSTR path, int folder, BOOL create);
#endif

#ifndef SHELLPROBE_IMPL
#define DeleteFileW ProbeDeleteFileW
#undef SHGetSpecialFolderPath
#define SHGetSpecialFolderPath ProbeSHGetSpecialFolderPathW
#endif

#endif
