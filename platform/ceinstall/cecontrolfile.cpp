// Reading the installer cabinet's control file. Every offset and length is
// checked against the file before it is used; every name that will become
// part of a path is checked to be one plain name.
#include "cecontrolfile.h"

#include <string.h>

namespace cecab {

namespace {

uint16_t U16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t *p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16)
        | (static_cast<uint32_t>(p[3]) << 24);
}

// A bounded cursor over one section of the file.
struct Reader {
    const uint8_t *data;
    size_t size;
    size_t at;
    bool Has(size_t n) const { return at <= size && n <= size - at; }
    const uint8_t *Take(size_t n)
    {
        const uint8_t *p = data + at;
        at += n;
        return p;
    }
};

// A NUL-terminated printable ASCII text of exactly length bytes, NUL included.
bool CopyText(const uint8_t *p, size_t length, char *out)
{
    if (length < 2 || length > kMaxText || p[length - 1] != 0)
        return false;
    for (size_t i = 0; i + 1 < length; ++i) {
        if (p[i] < 0x20 || p[i] > 0x7E)
            return false;
        out[i] = static_cast<char>(p[i]);
    }
    out[length - 1] = 0;
    return true;
}

int FindString(const ControlFile &cf, uint16_t id)
{
    for (uint16_t i = 0; i < cf.stringCount; ++i)
        if (cf.stringIds[i] == id)
            return i;
    return -1;
}

int FindDir(const ControlFile &cf, uint16_t id)
{
    for (uint16_t i = 0; i < cf.dirCount; ++i)
        if (cf.dirs[i].id == id)
            return i;
    return -1;
}

int FindFile(const ControlFile &cf, uint16_t id)
{
    for (uint16_t i = 0; i < cf.fileCount; ++i)
        if (cf.files[i].id == id)
            return i;
    return -1;
}

// A list of string ids ending in 0, length bytes long. The first id may name
// a standard folder when allowBase; every other one must be a plain name.
ControlResult ReadPath(const ControlFile &cf, const uint8_t *p, size_t length, bool allowBase, Path *path)
{
    if (length < 4 || length % 2 || U16(p + length - 2) != 0)
        return ControlResult::BadFolder;
    size_t ids = length / 2 - 1;
    path->base = 0;
    path->count = 0;
    for (size_t i = 0; i < ids; ++i) {
        uint16_t id = U16(p + 2 * i);
        int index = id ? FindString(cf, id) : -1;
        if (index < 0)
            return ControlResult::UnknownString;
        const char *text = cf.strings[index];
        if (int n = StandardFolderNumber(text)) {
            if (!allowBase || i != 0)
                return ControlResult::BadFolder;
            path->base = static_cast<uint16_t>(n);
            continue;
        }
        if (!IsPlainName(text))
            return ControlResult::BadName;
        if (path->count == kMaxPathParts)
            return ControlResult::TooMany;
        path->parts[path->count++] = static_cast<uint16_t>(index);
    }
    return ControlResult::Ok;
}

// Positions a reader at a section of count entries; an empty section may
// point anywhere.
bool OpenSection(const uint8_t *data, size_t size, uint32_t offset, uint16_t count, Reader *r)
{
    *r = Reader{data, size, offset};
    return count == 0 || (offset >= kControlHeaderSize && offset < size);
}

ControlResult ReadStrings(Reader r, uint16_t count, ControlFile *cf)
{
    if (count > kMaxStrings)
        return ControlResult::TooMany;
    for (uint16_t i = 0; i < count; ++i) {
        if (!r.Has(4))
            return ControlResult::OutOfBounds;
        const uint8_t *head = r.Take(4);
        uint16_t id = U16(head), length = U16(head + 2);
        if (!r.Has(length))
            return ControlResult::OutOfBounds;
        if (!id || FindString(*cf, id) >= 0)
            return ControlResult::DuplicateId;
        if (!CopyText(r.Take(length), length, cf->strings[i]))
            return ControlResult::BadText;
        const char *text = cf->strings[i];
        if (!StandardFolderNumber(text) && !IsPlainName(text))
            return ControlResult::BadName;
        cf->stringIds[i] = id;
        cf->stringCount = static_cast<uint16_t>(i + 1);
    }
    return ControlResult::Ok;
}

ControlResult ReadDirs(Reader r, uint16_t count, ControlFile *cf)
{
    if (count > kMaxDirs)
        return ControlResult::TooMany;
    for (uint16_t i = 0; i < count; ++i) {
        if (!r.Has(4))
            return ControlResult::OutOfBounds;
        const uint8_t *head = r.Take(4);
        uint16_t id = U16(head), length = U16(head + 2);
        if (!r.Has(length))
            return ControlResult::OutOfBounds;
        if (!id || FindDir(*cf, id) >= 0)
            return ControlResult::DuplicateId;
        Dir &dir = cf->dirs[i];
        dir.id = id;
        ControlResult result = ReadPath(*cf, r.Take(length), length, true, &dir.path);
        if (result != ControlResult::Ok)
            return result;
        if (!dir.path.base && !dir.path.count)
            return ControlResult::BadFolder;
        cf->dirCount = static_cast<uint16_t>(i + 1);
    }
    return ControlResult::Ok;
}

ControlResult ReadFiles(Reader r, uint16_t count, ControlFile *cf)
{
    if (count > kMaxFiles)
        return ControlResult::TooMany;
    for (uint16_t i = 0; i < count; ++i) {
        if (!r.Has(12))
            return ControlResult::OutOfBounds;
        const uint8_t *head = r.Take(12);
        uint16_t id = U16(head), dirId = U16(head + 2), length = U16(head + 10);
        if (!r.Has(length))
            return ControlResult::OutOfBounds;
        // 0 is the control file, 999 the setup library.
        if (id == 0 || id > 998)
            return ControlResult::BadFileNumber;
        if (FindFile(*cf, id) >= 0)
            return ControlResult::DuplicateId;
        File &file = cf->files[i];
        int dir = FindDir(*cf, dirId);
        if (dir < 0)
            return ControlResult::UnknownDir;
        file.id = id;
        file.dirIndex = static_cast<uint16_t>(dir);
        file.flags = U32(head + 6);
        if (!CopyText(r.Take(length), length, file.name))
            return ControlResult::BadText;
        if (!IsPlainName(file.name))
            return ControlResult::BadName;
        cf->fileCount = static_cast<uint16_t>(i + 1);
    }
    return ControlResult::Ok;
}

// Registry hives and entries are only checked to lie within the file and to
// refer to what exists; the installer decides what to do with them.
ControlResult ReadRegistry(const uint8_t *data, size_t size, uint32_t hivesAt, uint16_t hives, uint32_t keysAt,
                           uint16_t keys, ControlFile *cf)
{
    Reader r;
    if (!OpenSection(data, size, hivesAt, hives, &r))
        return ControlResult::OutOfBounds;
    uint16_t hiveIds[kMaxDirs];
    if (hives > kMaxDirs)
        return ControlResult::TooMany;
    for (uint16_t i = 0; i < hives; ++i) {
        if (!r.Has(8))
            return ControlResult::OutOfBounds;
        const uint8_t *head = r.Take(8);
        uint16_t id = U16(head), root = U16(head + 2), length = U16(head + 6);
        if (!r.Has(length))
            return ControlResult::OutOfBounds;
        for (uint16_t j = 0; j < i; ++j)
            if (hiveIds[j] == id)
                return ControlResult::DuplicateId;
        Path path;
        if (!id || root < 1 || root > 4 || ReadPath(*cf, r.Take(length), length, false, &path) != ControlResult::Ok)
            return ControlResult::BadRegistryEntry;
        hiveIds[i] = id;
    }
    if (!OpenSection(data, size, keysAt, keys, &r))
        return ControlResult::OutOfBounds;
    for (uint16_t i = 0; i < keys; ++i) {
        if (!r.Has(12))
            return ControlResult::OutOfBounds;
        const uint8_t *head = r.Take(12);
        uint16_t hive = U16(head + 2), length = U16(head + 10);
        if (!r.Has(length))
            return ControlResult::OutOfBounds;
        const uint8_t *entry = r.Take(length);
        bool known = false;
        for (uint16_t j = 0; j < hives; ++j)
            known = known || hiveIds[j] == hive;
        if (!known || !memchr(entry, 0, length))
            return ControlResult::BadRegistryEntry;
    }
    cf->regHiveCount = hives;
    cf->regKeyCount = keys;
    return ControlResult::Ok;
}

ControlResult ReadLinks(Reader r, uint16_t count, ControlFile *cf)
{
    if (count > kMaxLinks)
        return ControlResult::TooMany;
    for (uint16_t i = 0; i < count; ++i) {
        if (!r.Has(12))
            return ControlResult::OutOfBounds;
        const uint8_t *head = r.Take(12);
        uint16_t id = U16(head), base = U16(head + 4), target = U16(head + 6), type = U16(head + 8),
                 length = U16(head + 10);
        if (!r.Has(length))
            return ControlResult::OutOfBounds;
        for (uint16_t j = 0; j < i; ++j)
            if (cf->links[j].id == id)
                return ControlResult::DuplicateId;
        Link &link = cf->links[i];
        link.id = id;
        link.base = base;
        link.type = type;
        if (!id || base > 17)
            return ControlResult::BadLink;
        if (type == kLinkToFile) {
            int file = FindFile(*cf, target);
            if (file < 0)
                return ControlResult::UnknownFile;
            link.target = static_cast<uint16_t>(file);
        } else if (type == kLinkToDir) {
            int dir = target ? FindDir(*cf, target) : -1;
            if (target && dir < 0)
                return ControlResult::UnknownDir;
            link.target = static_cast<uint16_t>(dir + 1);
        } else {
            return ControlResult::BadLink;
        }
        ControlResult result = ReadPath(*cf, r.Take(length), length, false, &link.path);
        if (result != ControlResult::Ok)
            return result;
        cf->linkCount = static_cast<uint16_t>(i + 1);
    }
    return ControlResult::Ok;
}

} // namespace

bool IsPlainName(const char *name)
{
    size_t length = strnlen(name, kMaxText);
    if (length == 0 || length >= kMaxText || name[length - 1] == '.' || name[length - 1] == ' ')
        return false;
    if (strstr(name, ".."))
        return false;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c > 0x7E || strchr("\\/:*?\"<>|%", c))
            return false;
    }
    return true;
}

int StandardFolderNumber(const char *text)
{
    if (strncmp(text, "%CE", 3) != 0)
        return 0;
    int n = 0;
    const char *p = text + 3;
    for (int digits = 0; *p >= '0' && *p <= '9'; ++p) {
        if (++digits > 2)
            return 0;
        n = n * 10 + (*p - '0');
    }
    if (p[0] != '%' || p[1] != 0 || n < 1 || n > 17)
        return 0;
    return n;
}

ControlResult ReadControlFile(const uint8_t *data, size_t size, ControlFile *out)
{
    memset(out, 0, sizeof(*out));
    if (size < kControlHeaderSize)
        return ControlResult::TooShort;
    if (memcmp(data, "MSCE", 4) != 0)
        return ControlResult::BadSignature;
    if (U32(data + 8) != size)
        return ControlResult::BadLength;

    // The application's and the provider's names.
    const struct {
        size_t at;
        char *into;
    } texts[] = {{84, out->appName}, {88, out->provider}};
    for (const auto &t : texts) {
        uint16_t offset = U16(data + t.at), length = U16(data + t.at + 2);
        if (offset < kControlHeaderSize || offset >= size || length > size - offset)
            return ControlResult::OutOfBounds;
        if (!CopyText(data + offset, length, t.into))
            return ControlResult::BadText;
        if (!IsPlainName(t.into))
            return ControlResult::BadName;
    }
    uint16_t unsupportedAt = U16(data + 92), unsupportedLength = U16(data + 94);
    if (unsupportedLength
        && (unsupportedAt < kControlHeaderSize || unsupportedAt >= size || unsupportedLength > size - unsupportedAt
            || data[unsupportedAt + unsupportedLength - 1] != 0))
        return ControlResult::OutOfBounds;

    // The sections, in the order in which they refer to one another.
    Reader r;
    ControlResult result;
    if (!OpenSection(data, size, U32(data + 60), U16(data + 48), &r))
        return ControlResult::OutOfBounds;
    if ((result = ReadStrings(r, U16(data + 48), out)) != ControlResult::Ok)
        return result;
    if (!OpenSection(data, size, U32(data + 64), U16(data + 50), &r))
        return ControlResult::OutOfBounds;
    if ((result = ReadDirs(r, U16(data + 50), out)) != ControlResult::Ok)
        return result;
    if (!OpenSection(data, size, U32(data + 68), U16(data + 52), &r))
        return ControlResult::OutOfBounds;
    if ((result = ReadFiles(r, U16(data + 52), out)) != ControlResult::Ok)
        return result;
    result = ReadRegistry(data, size, U32(data + 72), U16(data + 54), U32(data + 76), U16(data + 56), out);
    if (result != ControlResult::Ok)
        return result;
    if (!OpenSection(data, size, U32(data + 80), U16(data + 58), &r))
        return ControlResult::OutOfBounds;
    return ReadLinks(r, U16(data + 58), out);
}

const char *DescribeControlResult(ControlResult result)
{
    switch (result) {
    case ControlResult::Ok: return "valid";
    case ControlResult::TooShort: return "too short for its header";
    case ControlResult::BadSignature: return "not a control file (no MSCE signature)";
    case ControlResult::BadLength: return "its recorded length is not its size";
    case ControlResult::OutOfBounds: return "an offset or count points outside the file";
    case ControlResult::TooMany: return "more entries than an installer can hold";
    case ControlResult::BadText: return "a text is not NUL-terminated printable ASCII of its stated length";
    case ControlResult::BadName: return "a name is not one plain file name (separator, \"..\" or bad character)";
    case ControlResult::DuplicateId: return "an id is used twice";
    case ControlResult::UnknownString: return "a folder or link names a text that is not listed";
    case ControlResult::UnknownDir: return "a file or link names a folder that is not listed";
    case ControlResult::UnknownFile: return "a link names a file that is not listed";
    case ControlResult::BadFileNumber: return "a file number is not between 1 and 998";
    case ControlResult::BadFolder: return "a folder is malformed";
    case ControlResult::BadRegistryEntry: return "a registry entry is malformed";
    case ControlResult::BadLink: return "a shortcut is malformed";
    }
    return "unknown result";
}

} // namespace cecab
