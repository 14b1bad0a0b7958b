// Reading the installer cabinet's control file. Every offset and length is
// checked against the file before it is used; every name that will become
// part of a path is checked to be one plain name.
#include "cecontrolfile.h"

#include <string.h>

namespace cecab {

namespace {

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

// How a list of string ids ends. A folder's and a registry hive's end in a 0
// that their length counts. A link's comes without it from the writers used
// with devices (2 bytes an id) and with it from others: a trailing 0 within
// its length is dropped.
enum class IdsEnd { Zero, ZeroOptional };

// A list of string ids, length bytes long, ending as end says. The first id
// may name a standard folder when allowBase; every other one must be a plain
// name.
ControlResult ReadPath(const ControlFile &cf, const uint8_t *p, size_t length, bool allowBase, IdsEnd end, Path *path)
{
    if (length % 2)
        return ControlResult::BadFolder;
    size_t ids = length / 2;
    if (ids && U16(p + 2 * (ids - 1)) == 0)
        --ids;
    else if (end == IdsEnd::Zero)
        return ControlResult::BadFolder;
    if (!ids)
        return ControlResult::BadFolder;
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

// The header gives each section's entry count at 48 + 2n and its offset at
// 60 + 4n, n in this order.
enum Section { kStrings, kDirs, kFiles, kRegHives, kRegKeys, kLinks };

// Each entry is a head of fixed size, which opens with the entry's id and
// ends with the length of the body that follows it. Registry entries are
// only checked, not kept: any number of them, ids unchecked.
const struct {
    uint16_t max;
    uint8_t headSize;
    bool uniqueIds;
} kSections[] = {
    {kMaxStrings, 4, true}, {kMaxDirs, 4, true},     {kMaxFiles, 12, true},
    {kMaxDirs, 8, true},    {UINT16_MAX, 12, false}, {kMaxLinks, 12, true},
};
constexpr size_t kMaxUniqueIds = kMaxStrings;  // the most entries of a section with unique ids
static_assert(kMaxDirs <= kMaxUniqueIds && kMaxFiles <= kMaxUniqueIds && kMaxLinks <= kMaxUniqueIds,
              "a section whose ids are checked holds at most kMaxUniqueIds entries");

struct Entry {
    uint16_t id;
    const uint8_t *head;
    const uint8_t *body;
    uint16_t length;
};

// Hands each entry of the section to read(index, entry) until one is not Ok.
// An empty section may point anywhere.
template <typename ReadEntry>
ControlResult ReadSection(const uint8_t *data, size_t size, Section section, ReadEntry read)
{
    const auto &shape = kSections[section];
    const size_t n = section;
    uint16_t count = U16(data + 48 + 2 * n);
    ByteReader r = {data, size, U32(data + 60 + 4 * n)};
    if (count && (r.at < kControlHeaderSize || r.at >= size))
        return ControlResult::OutOfBounds;
    if (count > shape.max)
        return ControlResult::TooMany;
    uint16_t ids[kMaxUniqueIds];
    for (uint16_t i = 0; i < count; ++i) {
        if (!r.Has(shape.headSize))
            return ControlResult::OutOfBounds;
        Entry entry;
        entry.head = r.Take(shape.headSize);
        entry.id = U16(entry.head);
        entry.length = U16(entry.head + shape.headSize - 2);
        if (!r.Has(entry.length))
            return ControlResult::OutOfBounds;
        entry.body = r.Take(entry.length);
        if (shape.uniqueIds) {
            for (uint16_t j = 0; j < i; ++j)
                if (ids[j] == entry.id)
                    return ControlResult::DuplicateId;
            ids[i] = entry.id;
        }
        ControlResult result = read(i, entry);
        if (result != ControlResult::Ok)
            return result;
    }
    return ControlResult::Ok;
}

ControlResult ReadStrings(const uint8_t *data, size_t size, ControlFile *cf)
{
    return ReadSection(data, size, kStrings, [cf](uint16_t i, const Entry &entry) {
        if (!entry.id)
            return ControlResult::DuplicateId;
        if (!CopyText(entry.body, entry.length, cf->strings[i]))
            return ControlResult::BadText;
        const char *text = cf->strings[i];
        if (!StandardFolderNumber(text) && !IsPlainName(text))
            return ControlResult::BadName;
        cf->stringIds[i] = entry.id;
        cf->stringCount = static_cast<uint16_t>(i + 1);
        return ControlResult::Ok;
    });
}

ControlResult ReadDirs(const uint8_t *data, size_t size, ControlFile *cf)
{
    return ReadSection(data, size, kDirs, [cf](uint16_t i, const Entry &entry) {
        if (!entry.id)
            return ControlResult::DuplicateId;
        Dir &dir = cf->dirs[i];
        dir.id = entry.id;
        ControlResult result = ReadPath(*cf, entry.body, entry.length, true, IdsEnd::Zero, &dir.path);
        if (result != ControlResult::Ok)
            return result;
        if (!dir.path.base && !dir.path.count)
            return ControlResult::BadFolder;
        cf->dirCount = static_cast<uint16_t>(i + 1);
        return ControlResult::Ok;
    });
}

ControlResult ReadFiles(const uint8_t *data, size_t size, ControlFile *cf)
{
    return ReadSection(data, size, kFiles, [cf](uint16_t i, const Entry &entry) {
        // 0 is the control file, 999 the setup library.
        if (entry.id == 0 || entry.id > 998)
            return ControlResult::BadFileNumber;
        File &file = cf->files[i];
        int dir = FindDir(*cf, U16(entry.head + 2));
        if (dir < 0)
            return ControlResult::UnknownDir;
        file.id = entry.id;
        file.dirIndex = static_cast<uint16_t>(dir);
        file.flags = U32(entry.head + 6);
        if (!CopyText(entry.body, entry.length, file.name))
            return ControlResult::BadText;
        if (!IsPlainName(file.name))
            return ControlResult::BadName;
        cf->fileCount = static_cast<uint16_t>(i + 1);
        return ControlResult::Ok;
    });
}

// Registry hives and entries are only checked to lie within the file and to
// refer to what exists; the installer decides what to do with them.
ControlResult ReadRegistry(const uint8_t *data, size_t size, ControlFile *cf)
{
    uint16_t hiveIds[kMaxDirs];
    uint16_t hives = 0, keys = 0;
    ControlResult result = ReadSection(data, size, kRegHives, [&](uint16_t i, const Entry &entry) {
        uint16_t root = U16(entry.head + 2);
        Path path;
        if (!entry.id || root < 1 || root > 4
            || ReadPath(*cf, entry.body, entry.length, false, IdsEnd::Zero, &path) != ControlResult::Ok)
            return ControlResult::BadRegistryEntry;
        hiveIds[i] = entry.id;
        hives = static_cast<uint16_t>(i + 1);
        return ControlResult::Ok;
    });
    if (result != ControlResult::Ok)
        return result;
    result = ReadSection(data, size, kRegKeys, [&](uint16_t i, const Entry &entry) {
        uint16_t hive = U16(entry.head + 2);
        bool known = false;
        for (uint16_t j = 0; j < hives; ++j)
            known = known || hiveIds[j] == hive;
        if (!known || !memchr(entry.body, 0, entry.length))
            return ControlResult::BadRegistryEntry;
        keys = static_cast<uint16_t>(i + 1);
        return ControlResult::Ok;
    });
    if (result != ControlResult::Ok)
        return result;
    cf->regHiveCount = hives;
    cf->regKeyCount = keys;
    return ControlResult::Ok;
}

ControlResult ReadLinks(const uint8_t *data, size_t size, ControlFile *cf)
{
    return ReadSection(data, size, kLinks, [cf](uint16_t i, const Entry &entry) {
        uint16_t base = U16(entry.head + 4), target = U16(entry.head + 6), type = U16(entry.head + 8);
        Link &link = cf->links[i];
        link.id = entry.id;
        link.base = base;
        link.type = type;
        if (!entry.id || base > 17)
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
        ControlResult result = ReadPath(*cf, entry.body, entry.length, false, IdsEnd::ZeroOptional, &link.path);
        if (result != ControlResult::Ok)
            return result;
        cf->linkCount = static_cast<uint16_t>(i + 1);
        return ControlResult::Ok;
    });
}

}  // namespace

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
    if (ControlResult header = CheckHeader(data, size, kControlHeaderSize, "MSCE", true); header != ControlResult::Ok)
        return header;

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
    ControlResult (*const readers[])(const uint8_t *, size_t, ControlFile *) = {ReadStrings, ReadDirs, ReadFiles,
                                                                                ReadRegistry, ReadLinks};
    for (auto read : readers) {
        ControlResult result = read(data, size, out);
        if (result != ControlResult::Ok)
            return result;
    }
    return ControlResult::Ok;
}

const char *DescribeControlResult(ControlResult result)
{
    switch (result) {
    case ControlResult::Ok:
        return "valid";
    case ControlResult::TooShort:
        return "too short for its header";
    case ControlResult::BadSignature:
        return "not a control file (no MSCE signature)";
    case ControlResult::BadLength:
        return "its recorded length is not its size";
    case ControlResult::OutOfBounds:
        return "an offset or count points outside the file";
    case ControlResult::TooMany:
        return "more entries than an installer can hold";
    case ControlResult::BadText:
        return "a text is not NUL-terminated printable ASCII of its stated length";
    case ControlResult::BadName:
        return "a name is not one plain file name (separator, \"..\" or bad character)";
    case ControlResult::DuplicateId:
        return "an id is used twice";
    case ControlResult::UnknownString:
        return "a folder or link names a text that is not listed";
    case ControlResult::UnknownDir:
        return "a file or link names a folder that is not listed";
    case ControlResult::UnknownFile:
        return "a link names a file that is not listed";
    case ControlResult::BadFileNumber:
        return "a file number is not between 1 and 998";
    case ControlResult::BadFolder:
        return "a folder is malformed";
    case ControlResult::BadRegistryEntry:
        return "a registry entry is malformed";
    case ControlResult::BadLink:
        return "a shortcut is malformed";
    default:
        break;  // the cabinet's own
    }
    return "unknown result";
}

}  // namespace cecab
