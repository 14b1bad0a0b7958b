// CE registry semantics over the desktop registry.
//
// CE ignores the access mask (0 opens for reading and writing), accepts paths
// with a leading backslash, and RegDeleteKeyW removes a key with its subkeys.
#include <windows.h>
#include <map>
#include "cecore_internal.h"

namespace {

std::map<HKEY, std::wstring> keyNames;

REGSAM CeAccess(REGSAM sam) { return sam ? sam : KEY_ALL_ACCESS; }

LPCWSTR CePath(LPCWSTR path)
{
    while (path && *path == L'\\')
        ++path;
    return path;
}

std::wstring RootName(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE) return L"HKLM";
    if (root == HKEY_CURRENT_USER) return L"HKCU";
    if (root == HKEY_CLASSES_ROOT) return L"HKCR";
    if (root == HKEY_USERS) return L"HKU";
    auto it = keyNames.find(root);
    return it != keyNames.end() ? it->second : L"?";
}

std::wstring JoinName(HKEY root, LPCWSTR path)
{
    std::wstring name = RootName(root);
    if (path && *path) {
        name += L'\\';
        name += path;
    }
    return name;
}

DWORD Size(LPDWORD size) { return size ? *size : 0; }

// An opened or created key keeps its name for the journal while it is open.
LONG Opened(const wchar_t *function, HKEY root, LPCWSTR path, LONG rc, PHKEY result)
{
    std::wstring name = JoinName(root, path);
    if (rc == ERROR_SUCCESS)
        keyNames[*result] = name;
    CeJournalRecord(function, name, nullptr, 0, 0, nullptr, rc);
    return rc;
}

} // namespace

std::wstring CeKeyName(HKEY key) { return RootName(key); }

extern "C" {

LONG WINAPI CeRegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM sam, PHKEY result)
{
    LPCWSTR path = CePath(subKey);
    LONG rc = RegOpenKeyExW(root, path, options, CeAccess(sam), result);
    return Opened(L"RegOpenKeyExW", root, path, rc, result);
}

LONG WINAPI CeRegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR cls, DWORD options,
                              REGSAM sam, const SECURITY_ATTRIBUTES *sa, PHKEY result,
                              LPDWORD disposition)
{
    LPCWSTR path = CePath(subKey);
    LONG rc = RegCreateKeyExW(root, path, reserved, cls, options, CeAccess(sam),
                              const_cast<LPSECURITY_ATTRIBUTES>(sa), result, disposition);
    return Opened(L"RegCreateKeyExW", root, path, rc, result);
}

LONG WINAPI CeRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                               LPDWORD size)
{
    DWORD asked = Size(size);
    LONG rc = RegQueryValueExW(key, name, reserved, type, data, size);
    if (CeJournalOn())
        CeJournalRecord(L"RegQueryValueExW", RootName(key), name, 0, asked, nullptr, rc);
    return rc;
}

LONG WINAPI CeRegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE *data,
                             DWORD size)
{
    LONG rc = RegSetValueExW(key, name, reserved, type, data, size);
    if (CeJournalOn())
        CeJournalRecord(L"RegSetValueExW", RootName(key), name, type, size, data, rc);
    return rc;
}

LONG WINAPI CeRegFlushKey(HKEY key)
{
    LONG rc = RegFlushKey(key);
    if (CeJournalOn())
        CeJournalRecord(L"RegFlushKey", RootName(key), nullptr, 0, 0, nullptr, rc);
    return rc;
}

LONG WINAPI CeRegCloseKey(HKEY key)
{
    std::wstring name = RootName(key);
    LONG rc = RegCloseKey(key);
    if (rc == ERROR_SUCCESS)
        keyNames.erase(key);
    CeJournalRecord(L"RegCloseKey", name, nullptr, 0, 0, nullptr, rc);
    return rc;
}

LONG WINAPI CeRegDeleteKeyW(HKEY root, LPCWSTR subKey)
{
    LPCWSTR path = CePath(subKey);
    LONG rc = RegDeleteTreeW(root, path);  // removes the key itself too
    CeJournalRecord(L"RegDeleteKeyW", JoinName(root, path), nullptr, 0, 0, nullptr, rc);
    return rc;
}

} // extern "C"
