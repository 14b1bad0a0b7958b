// The fake registry behind the native fuzz targets. Keys are found by their
// whole path without regard to (ASCII) case; a handle keeps its key alive, and
// a handle whose key was deleted takes no reads or writes any more, as on the
// platform. A read into a buffer that is too small copies nothing and reports
// the size needed; a read without a buffer reports the size.
#include "fakeregistry.h"
#include <string.h>
#include <map>
#include <memory>

struct FakeKey {
    std::u16string path;
    bool deleted = false;
    std::map<std::u16string, fakeregistry::StoredValue> values;  // by lower-case name
};

struct FakeKeyHandle {
    std::shared_ptr<FakeKey> key;
};

namespace {

std::map<std::u16string, std::shared_ptr<FakeKey>> keys;  // by lower-case path
std::shared_ptr<FakeKey> roots[4];
std::vector<std::unique_ptr<FakeKeyHandle>> handles;
std::vector<fakeregistry::WriteCall> writes;
size_t flushes;
bool refuseCreation;

char16_t Lower(wchar_t unit) { return unit >= 'A' && unit <= 'Z' ? char16_t(unit - 'A' + 'a') : char16_t(unit); }

std::u16string LowerName(const wchar_t *name)
{
    std::u16string result;
    for (size_t i = 0; name && name[i]; ++i)
        result += Lower(name[i]);
    return result;
}

bool IsRoot(HKEY key)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(key);
    return value >= 0x80000000u && value <= 0x80000003u;
}

std::u16string RootPath(HKEY root)
{
    static const char16_t digits[] = u"0123";
    return std::u16string(u"8000000") + digits[reinterpret_cast<uintptr_t>(root) - 0x80000000u];
}

FakeKeyHandle *Find(HKEY key)
{
    for (auto &handle : handles)
        if (handle.get() == key)
            return handle.get();
    return nullptr;
}

// The key a handle stands for, or null for a bad handle or a deleted key.
std::shared_ptr<FakeKey> KeyOf(HKEY key, LONG *error)
{
    if (IsRoot(key))
        return roots[reinterpret_cast<uintptr_t>(key) - 0x80000000u];
    FakeKeyHandle *handle = Find(key);
    if (!handle) {
        *error = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    if (handle->key->deleted) {
        *error = ERROR_KEY_DELETED;
        return nullptr;
    }
    return handle->key;
}

// The path segments of subKey, empty ones (leading, doubled or trailing
// backslashes) skipped.
std::vector<std::u16string> Segments(const wchar_t *subKey)
{
    std::vector<std::u16string> segments(1);
    for (size_t i = 0; subKey && subKey[i]; ++i) {
        if (subKey[i] == '\\')
            segments.emplace_back();
        else
            segments.back() += Lower(subKey[i]);
    }
    std::vector<std::u16string> result;
    for (auto &segment : segments)
        if (!segment.empty())
            result.push_back(segment);
    return result;
}

HKEY NewHandle(const std::shared_ptr<FakeKey> &key)
{
    handles.push_back(std::unique_ptr<FakeKeyHandle>(new FakeKeyHandle{key}));
    return handles.back().get();
}

// Opens, or with create makes, the key under base; returns its error code.
LONG Reach(HKEY base, const wchar_t *subKey, bool create, PHKEY result, LPDWORD disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    LONG error = ERROR_SUCCESS;
    std::shared_ptr<FakeKey> key = KeyOf(base, &error);
    if (!key)
        return error;
    std::u16string path = key->path;
    bool created = false;
    for (auto &segment : Segments(subKey)) {
        path += u'\\';
        path += segment;
        auto found = keys.find(path);
        if (found != keys.end())
            continue;
        if (!create)
            return ERROR_FILE_NOT_FOUND;
        if (refuseCreation)
            return ERROR_ACCESS_DENIED;
        auto made = std::make_shared<FakeKey>();
        made->path = path;
        keys[path] = made;
        created = true;
    }
    *result = NewHandle(keys[path]);
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

// Removes the key and everything below it; handles to them go stale.
bool Remove(const std::u16string &path)
{
    bool any = false;
    for (auto it = keys.begin(); it != keys.end();) {
        const std::u16string &other = it->first;
        if (other == path
            || (other.size() > path.size() && other.compare(0, path.size(), path) == 0
                && other[path.size()] == u'\\')) {
            it->second->deleted = true;
            it = keys.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    return any;
}

std::shared_ptr<FakeKey> Lookup(HKEY root, const wchar_t *path)
{
    auto found = keys.find(fakeregistry::PathOf(root, path));
    return found == keys.end() ? nullptr : found->second;
}

}  // namespace

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result)
{
    return Reach(key, subKey, false, result, nullptr);
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY result,
                     LPDWORD disposition)
{
    return Reach(key, subKey, true, result, disposition);
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    LONG error = ERROR_SUCCESS;
    std::shared_ptr<FakeKey> open = KeyOf(key, &error);
    if (!open)
        return error;
    if (reserved || (data && !size))
        return ERROR_INVALID_PARAMETER;
    auto found = open->values.find(LowerName(name));
    if (found == open->values.end())
        return ERROR_FILE_NOT_FOUND;
    const fakeregistry::StoredValue &value = found->second;
    if (type)
        *type = value.type;
    DWORD stored = static_cast<DWORD>(value.data.size());
    if (data && *size < stored) {
        *size = stored;
        return ERROR_MORE_DATA;
    }
    if (data && stored)
        memcpy(data, value.data.data(), stored);
    if (size)
        *size = stored;
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE *data, DWORD size)
{
    LONG error = ERROR_SUCCESS;
    std::shared_ptr<FakeKey> open = KeyOf(key, &error);
    fakeregistry::WriteCall call{open ? open->path : std::u16string(), LowerName(name), type, {}, ERROR_SUCCESS};
    if (data)
        call.data.assign(data, data + size);
    if (!open)
        call.result = error;
    else if (size && !data)
        call.result = ERROR_INVALID_PARAMETER;
    else
        open->values[LowerName(name)] = fakeregistry::StoredValue{type, call.data};
    writes.push_back(call);
    return call.result;
}

LONG RegFlushKey(HKEY key)
{
    ++flushes;
    LONG error = ERROR_SUCCESS;
    return KeyOf(key, &error) ? ERROR_SUCCESS : error;
}

LONG RegCloseKey(HKEY key)
{
    if (IsRoot(key))
        return ERROR_SUCCESS;
    for (auto it = handles.begin(); it != handles.end(); ++it) {
        if (it->get() == key) {
            handles.erase(it);
            return ERROR_SUCCESS;
        }
    }
    return ERROR_INVALID_HANDLE;
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey)
{
    LONG error = ERROR_SUCCESS;
    std::shared_ptr<FakeKey> base = KeyOf(key, &error);
    if (!base)
        return error;
    std::u16string path = base->path;
    for (auto &segment : Segments(subKey))
        path += u'\\' + segment;
    if (path == base->path && IsRoot(key))
        return ERROR_ACCESS_DENIED;
    return Remove(path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

namespace fakeregistry {

void Reset()
{
    handles.clear();
    for (auto &entry : keys)
        entry.second->deleted = true;
    keys.clear();
    for (uintptr_t root = 0x80000000u; root <= 0x80000003u; ++root) {
        auto key = std::make_shared<FakeKey>();
        key->path = RootPath(reinterpret_cast<HKEY>(root));
        keys[key->path] = key;
        roots[root - 0x80000000u] = key;
    }
    writes.clear();
    flushes = 0;
    refuseCreation = false;
}

void RefuseCreation(bool refuse) { refuseCreation = refuse; }

std::u16string PathOf(HKEY root, const wchar_t *path)
{
    std::u16string result = RootPath(root);
    for (auto &segment : Segments(path))
        result += u'\\' + segment;
    return result;
}

bool CreateKey(HKEY root, const wchar_t *path)
{
    bool refused = refuseCreation;
    refuseCreation = false;
    HKEY key = nullptr;
    LONG rc = Reach(root, path, true, &key, nullptr);
    refuseCreation = refused;
    if (rc == ERROR_SUCCESS)
        RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool DeleteKey(HKEY root, const wchar_t *path) { return Remove(PathOf(root, path)); }

bool KeyExists(HKEY root, const wchar_t *path) { return Lookup(root, path) != nullptr; }

void PutValue(HKEY root, const wchar_t *path, const wchar_t *name, DWORD type, const uint8_t *data, size_t size)
{
    CreateKey(root, path);
    Lookup(root, path)->values[LowerName(name)] = StoredValue{type, std::vector<uint8_t>(data, data + size)};
}

bool GetValue(HKEY root, const wchar_t *path, const wchar_t *name, StoredValue *value)
{
    std::shared_ptr<FakeKey> key = Lookup(root, path);
    if (!key)
        return false;
    auto found = key->values.find(LowerName(name));
    if (found == key->values.end())
        return false;
    *value = found->second;
    return true;
}

size_t ValueCount(HKEY root, const wchar_t *path)
{
    std::shared_ptr<FakeKey> key = Lookup(root, path);
    return key ? key->values.size() : 0;
}

std::u16string NameOf(const wchar_t *name) { return LowerName(name); }

size_t OpenHandles() { return handles.size(); }
const std::vector<WriteCall> &Writes() { return writes; }
size_t Flushes() { return flushes; }

}  // namespace fakeregistry
