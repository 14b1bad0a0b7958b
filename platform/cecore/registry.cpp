// CE registry semantics over the desktop registry.
//
// CE ignores the access mask (0 opens for reading and writing), accepts paths
// with a leading backslash, and RegDeleteKeyW removes a key with its subkeys.
#include <windows.h>
#include <strsafe.h>
#include "cecore_internal.h"

namespace {

// The journal's names of the open keys: a fixed table, so that the stand-in
// needs no allocation and no C++ library. When it is full the oldest name
// makes room; such a key is journaled as "?".
struct KeyName {
    HKEY key;
    wchar_t name[MAX_PATH + 8];
};
KeyName keyNames[32];
unsigned nextName;

REGSAM CeAccess(REGSAM sam) { return sam ? sam : KEY_ALL_ACCESS; }

LPCWSTR CePath(LPCWSTR path)
{
    while (path && *path == L'\\')
        ++path;
    return path;
}

KeyName *FindName(HKEY key)
{
    for (KeyName &entry : keyNames)
        if (entry.key == key)
            return &entry;
    return nullptr;
}

LPCWSTR RootName(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE)
        return L"HKLM";
    if (root == HKEY_CURRENT_USER)
        return L"HKCU";
    if (root == HKEY_CLASSES_ROOT)
        return L"HKCR";
    if (root == HKEY_USERS)
        return L"HKU";
    KeyName *entry = root ? FindName(root) : nullptr;
    return entry ? entry->name : L"?";
}

void JoinName(HKEY root, LPCWSTR path, wchar_t *name, size_t units)
{
    StringCchCopyW(name, units, RootName(root));
    if (path && *path) {
        StringCchCatW(name, units, L"\\");
        StringCchCatW(name, units, path);
    }
}

void Remember(HKEY key, LPCWSTR name)
{
    KeyName *entry = FindName(key);
    if (!entry)
        entry = FindName(nullptr);
    if (!entry)
        entry = &keyNames[nextName++ % ARRAYSIZE(keyNames)];
    entry->key = key;
    StringCchCopyW(entry->name, ARRAYSIZE(entry->name), name);
}

DWORD Size(LPDWORD size) { return size ? *size : 0; }

// An opened or created key keeps its name for the journal while it is open.
LONG Opened(const wchar_t *function, HKEY root, LPCWSTR path, LONG rc, PHKEY result)
{
    wchar_t name[ARRAYSIZE(KeyName::name)];
    JoinName(root, path, name, ARRAYSIZE(name));
    if (rc == ERROR_SUCCESS)
        Remember(*result, name);
    CeJournalRecord(function, name, nullptr, 0, 0, nullptr, rc);
    return rc;
}

}  // namespace

extern "C" {

LONG WINAPI CeRegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM sam, PHKEY result)
{
    LPCWSTR path = CePath(subKey);
    LONG rc = RegOpenKeyExW(root, path, options, CeAccess(sam), result);
    return Opened(L"RegOpenKeyExW", root, path, rc, result);
}

LONG WINAPI CeRegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR cls, DWORD options, REGSAM sam,
                              const SECURITY_ATTRIBUTES *sa, PHKEY result, LPDWORD disposition)
{
    LPCWSTR path = CePath(subKey);
    LONG rc = RegCreateKeyExW(root, path, reserved, cls, options, CeAccess(sam), const_cast<LPSECURITY_ATTRIBUTES>(sa),
                              result, disposition);
    return Opened(L"RegCreateKeyExW", root, path, rc, result);
}

LONG WINAPI CeRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    DWORD asked = Size(size);
    LONG rc = RegQueryValueExW(key, name, reserved, type, data, size);
    if (CeJournalOn())
        CeJournalRecord(L"RegQueryValueExW", RootName(key), name, 0, asked, nullptr, rc);
    return rc;
}

LONG WINAPI CeRegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD size)
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
    wchar_t name[ARRAYSIZE(KeyName::name)];
    StringCchCopyW(name, ARRAYSIZE(name), RootName(key));
    LONG rc = RegCloseKey(key);
    if (rc == ERROR_SUCCESS)
        if (KeyName *entry = FindName(key))
            entry->key = nullptr;
    CeJournalRecord(L"RegCloseKey", name, nullptr, 0, 0, nullptr, rc);
    return rc;
}

LONG WINAPI CeRegDeleteKeyW(HKEY root, LPCWSTR subKey)
{
    LPCWSTR path = CePath(subKey);
    LONG rc = RegDeleteTreeW(root, path);  // removes the key itself too
    wchar_t name[ARRAYSIZE(KeyName::name)];
    JoinName(root, path, name, ARRAYSIZE(name));
    CeJournalRecord(L"RegDeleteKeyW", name, nullptr, 0, 0, nullptr, rc);
    return rc;
}

}  // extern "C"
