// CE registry semantics over the desktop registry.
//
// CE ignores the access mask (0 opens for reading and writing), accepts paths
// with a leading backslash, and RegDeleteKeyW removes a key with its subkeys,
// but refuses a key that any program holds open.
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

// ---- Keys held open, across processes ----
//
// RegDeleteKey's reference: an application cannot delete a key that an
// application currently has open. Every key opened or created through this
// layer is listed, under the name the journal gives it, in a table that all
// processes share, until it is closed. The entries of a process that has
// ended are dropped at the next look at the table, as its keys close with it
// (Wine gives an ended process's id to another only after hundreds more have
// ended). A key is held when it or any key below it is listed: deleting it
// would delete an open key too. A key that finds the table full is not
// listed, and holds nothing.

const int kHeldKeys = 128;

struct HeldKey {
    DWORD process;  // 0: a free entry
    HKEY key;
    wchar_t name[ARRAYSIZE(KeyName::name)];
};

HeldKey *heldKeys;  // kHeldKeys entries, or null when the table cannot be had
HANDLE heldKeysLock;

// The reference names no error for a key in use: the one the platform gives
// for a file in use.
const LONG kKeyInUse = ERROR_SHARING_VIOLATION;

bool StillRunning(DWORD process)
{
    HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
    if (!handle)
        return false;
    bool running = WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
    CloseHandle(handle);
    return running;
}

// Takes the table for this process, without the entries of ended processes.
bool TakeHeldKeys()
{
    if (!heldKeys) {
        heldKeysLock = CreateMutexW(nullptr, FALSE, L"CeHeldKeysLock");
        HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(HeldKey) * kHeldKeys, L"CeHeldKeys");
        if (!heldKeysLock || !section)
            return false;
        heldKeys = static_cast<HeldKey *>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0));
        if (!heldKeys)
            return false;
    }
    WaitForSingleObject(heldKeysLock, INFINITE);
    for (int i = 0; i < kHeldKeys; ++i)
        if (heldKeys[i].process && !StillRunning(heldKeys[i].process))
            heldKeys[i].process = 0;
    return true;
}

void GiveHeldKeys() { ReleaseMutex(heldKeysLock); }

// Lists this process's key under name; with no name, takes it off the list.
void List(HKEY key, const wchar_t *name)
{
    if (!TakeHeldKeys())
        return;
    DWORD self = GetCurrentProcessId();
    HeldKey *slot = nullptr;
    for (int i = 0; i < kHeldKeys; ++i) {
        HeldKey &entry = heldKeys[i];
        if (entry.process == self && entry.key == key)
            entry.process = 0;
        if (!entry.process && !slot)
            slot = &entry;
    }
    if (name && slot) {
        slot->process = self;
        slot->key = key;
        StringCchCopyW(slot->name, ARRAYSIZE(slot->name), name);
    }
    GiveHeldKeys();
}

// Whether a running program holds the key named so, or a key below it. Key
// names compare without regard to case.
bool IsHeld(const wchar_t *name)
{
    if (!TakeHeldKeys())
        return false;
    size_t length = wcslen(name);
    bool held = false;
    for (int i = 0; i < kHeldKeys; ++i) {
        const HeldKey &entry = heldKeys[i];
        if (entry.process && _wcsnicmp(entry.name, name, length) == 0
            && (!entry.name[length] || entry.name[length] == L'\\'))
            held = true;
    }
    GiveHeldKeys();
    return held;
}

// An opened or created key keeps its name for the journal while it is open.
LONG Opened(const wchar_t *function, HKEY root, LPCWSTR path, LONG rc, PHKEY result)
{
    wchar_t name[ARRAYSIZE(KeyName::name)];
    JoinName(root, path, name, ARRAYSIZE(name));
    if (rc == ERROR_SUCCESS) {
        Remember(*result, name);
        List(*result, name);
    }
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
    if (rc == ERROR_SUCCESS) {
        if (KeyName *entry = FindName(key))
            entry->key = nullptr;
        List(key, nullptr);
    }
    CeJournalRecord(L"RegCloseKey", name, nullptr, 0, 0, nullptr, rc);
    return rc;
}

LONG WINAPI CeRegDeleteKeyW(HKEY root, LPCWSTR subKey)
{
    LPCWSTR path = CePath(subKey);
    wchar_t name[ARRAYSIZE(KeyName::name)];
    JoinName(root, path, name, ARRAYSIZE(name));
    // Otherwise the whole tree goes, the key itself too.
    LONG rc = IsHeld(name) ? kKeyInUse : RegDeleteTreeW(root, path);
    CeJournalRecord(L"RegDeleteKeyW", name, nullptr, 0, 0, nullptr, rc);
    return rc;
}

}  // extern "C"
