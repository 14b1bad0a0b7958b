// CreateProcessW as CE does it: an application name without extension names
// NAME.exe, and a bare name is looked for beside the calling program and then
// in the Windows folder (CE's \Windows) rather than in the current directory.
// OpenProcess as CE does it: the access asked for is not looked at.
#include <windows.h>
#include <strsafe.h>
#include "cecore_internal.h"

namespace {

bool HasExtension(LPCWSTR name)
{
    LPCWSTR dot = wcsrchr(name, L'.');
    LPCWSTR slash = wcsrchr(name, L'\\');
    return dot && (!slash || dot > slash);
}

bool Exists(LPCWSTR path)
{
    DWORD a = GetFileAttributesW(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Fills path with the program to start; false when the name does not fit.
bool ResolveApplication(LPCWSTR app, wchar_t *path, size_t units)
{
    wchar_t name[MAX_PATH];
    if (FAILED(StringCchCopyW(name, ARRAYSIZE(name), app)))
        return false;
    if (!HasExtension(name) && FAILED(StringCchCatW(name, ARRAYSIZE(name), L".exe")))
        return false;
    if (wcschr(name, L'\\') || wcschr(name, L'/') || wcschr(name, L':'))
        return SUCCEEDED(StringCchCopyW(path, units, name));

    wchar_t dir[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, dir, ARRAYSIZE(dir));
    if (n && n < ARRAYSIZE(dir)) {
        if (wchar_t *slash = wcsrchr(dir, L'\\'))
            *slash = 0;
        if (SUCCEEDED(StringCchPrintfW(path, units, L"%s\\%s", dir, name)) && Exists(path))
            return true;
    }
    if (GetWindowsDirectoryW(dir, ARRAYSIZE(dir)) && SUCCEEDED(StringCchPrintfW(path, units, L"%s\\%s", dir, name))
        && Exists(path))
        return true;
    return SUCCEEDED(StringCchCopyW(path, units, name));
}

}  // namespace

extern "C" BOOL WINAPI CeCreateProcessW(LPCWSTR app, LPWSTR cmdLine, LPSECURITY_ATTRIBUTES pa, LPSECURITY_ATTRIBUTES ta,
                                        BOOL inherit, DWORD flags, LPVOID env, LPCWSTR dir, LPSTARTUPINFOW si,
                                        LPPROCESS_INFORMATION pi)
{
    wchar_t path[MAX_PATH] = {};
    STARTUPINFOW defaultStartup = {sizeof(defaultStartup)};
    PROCESS_INFORMATION info = {};
    BOOL ok = FALSE;
    if (app && ResolveApplication(app, path, ARRAYSIZE(path))) {
        // CE passes the argument string alone; desktop programs expect the
        // program name in front of it.
        wchar_t line[1024];
        StringCchPrintfW(line, ARRAYSIZE(line), L"\"%s\"%s%s", path, cmdLine ? L" " : L"", cmdLine ? cmdLine : L"");
        ok = CreateProcessW(path, line, pa, ta, inherit, flags & ~CREATE_NEW_CONSOLE, env, dir,
                            si ? si : &defaultStartup, pi ? pi : &info);
        if (ok && !pi) {
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    } else {
        SetLastError(ERROR_FILE_NOT_FOUND);
    }
    if (CeJournalOn())
        CeJournalRecord(L"CreateProcessW", app ? app : L"", cmdLine, flags, 0, nullptr, ok);
    return ok;
}

extern "C" HANDLE WINAPI CeOpenProcess(DWORD, BOOL inherit, DWORD processId)
{
    return OpenProcess(PROCESS_ALL_ACCESS, inherit, processId);
}
