// A small registry in memory for the native fuzz targets: the six calls the
// settings store makes (and RegDeleteKeyW), with the semantics it relies on,
// plus what a target needs to set up the keys and check what was done.
#ifndef FUZZ_FAKEREGISTRY_H
#define FUZZ_FAKEREGISTRY_H

#include <windows.h>
#include <string>
#include <vector>

namespace fakeregistry {

struct StoredValue {
    DWORD type;
    std::vector<uint8_t> data;
};

// One RegSetValueExW call as it was made, and its result.
struct WriteCall {
    std::u16string keyPath;  // lower case, "80000002\software\..."; empty for a bad handle
    std::u16string name;
    DWORD type;
    std::vector<uint8_t> data;
    LONG result;
};

// Empties the registry, drops every handle and every record.
void Reset();
// When set, RegCreateKeyExW creates no key (opening existing ones still works).
void RefuseCreation(bool refuse);

bool CreateKey(HKEY root, const wchar_t *path);
bool DeleteKey(HKEY root, const wchar_t *path);
bool KeyExists(HKEY root, const wchar_t *path);
// Stores a value of any type and size, creating its key.
void PutValue(HKEY root, const wchar_t *path, const wchar_t *name, DWORD type, const uint8_t *data, size_t size);
bool GetValue(HKEY root, const wchar_t *path, const wchar_t *name, StoredValue *value);
size_t ValueCount(HKEY root, const wchar_t *path);

// Handles returned by open or create and not closed yet.
size_t OpenHandles();
const std::vector<WriteCall> &Writes();
size_t Flushes();
// A value name in lower case, as WriteCall spells it.
std::u16string NameOf(const wchar_t *name);
// The lower-case path of a key, as WriteCall spells it.
std::u16string PathOf(HKEY root, const wchar_t *path);

}  // namespace fakeregistry

#endif
