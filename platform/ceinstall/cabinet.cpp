// Reading a Microsoft Cabinet: the header, the folders, the file entries and
// the data blocks, each checked against the cabinet's recorded size before
// use. Only uncompressed folders are read: that is what the package holds.
#include "cabinet.h"

#include <string.h>

namespace cecab {

namespace {

enum : size_t { kHeaderSize = 36, kFolderSize = 8, kFileEntrySize = 16, kBlockHeaderSize = 8, kMaxBlock = 32768 };
enum : uint16_t { kPrevCabinet = 1, kNextCabinet = 2, kReservePresent = 4 };

// The cabinet's block checksum: little-endian words XORed into the seed, the
// remaining bytes taken high to low.
uint32_t Checksum(const uint8_t *p, size_t n, uint32_t seed)
{
    uint32_t sum = seed;
    size_t words = n / 4;
    for (size_t i = 0; i < words; ++i, p += 4)
        sum ^= U32(p);
    uint32_t tail = 0;
    for (size_t i = 0; i < n % 4; ++i)
        tail = (tail << 8) | p[i];
    return sum ^ tail;
}

// NAME.NNN: one to eight plain characters, a dot, three digits.
bool ReadMemberName(const uint8_t *p, size_t available, Member *member)
{
    const void *end = memchr(p, 0, available < kMaxMemberName ? available : kMaxMemberName);
    if (!end)
        return false;
    size_t length = static_cast<const uint8_t *>(end) - p;
    if (length < 5 || length > 12 || p[length - 4] != '.')
        return false;
    for (size_t i = 0; i + 4 < length; ++i) {
        unsigned char c = p[i];
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
                     || strchr("~_-$!#&'()@^{}", c);
        if (!plain || !c)
            return false;
    }
    uint16_t number = 0;
    for (size_t i = length - 3; i < length; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return false;
        number = static_cast<uint16_t>(number * 10 + (p[i] - '0'));
    }
    memcpy(member->name, p, length + 1);
    member->number = number;
    return true;
}

}  // namespace

CabinetResult ReadCabinet(const uint8_t *data, size_t size, Cabinet *cab)
{
    memset(cab, 0, sizeof(*cab));
    if (CabinetResult header = CheckHeader(data, size, kHeaderSize, "MSCF", false); header != CabinetResult::Ok)
        return header;
    size = U32(data + 8);  // what follows the recorded length is not the cabinet's
    cab->data = data;
    cab->size = size;
    uint32_t filesAt = U32(data + 16);
    uint16_t folders = U16(data + 26), files = U16(data + 28), flags = U16(data + 30);
    if (flags & (kPrevCabinet | kNextCabinet))
        return CabinetResult::MultiPart;
    size_t at = kHeaderSize, folderReserve = 0, blockReserve = 0;
    if (flags & kReservePresent) {
        if (!Fits(size, at, 4))
            return CabinetResult::OutOfBounds;
        size_t headerReserve = U16(data + at);
        folderReserve = data[at + 2];
        blockReserve = data[at + 3];
        at += 4 + headerReserve;
    }
    if (folders == 0 || folders > kMaxFolders || files > kMaxMembers)
        return CabinetResult::TooMany;

    for (uint16_t i = 0; i < folders; ++i, at += kFolderSize + folderReserve) {
        if (!Fits(size, at, kFolderSize + folderReserve))
            return CabinetResult::OutOfBounds;
        if (U16(data + at + 6) != 0)
            return CabinetResult::Compressed;
        uint32_t block = U32(data + at);
        uint16_t blocks = U16(data + at + 4);
        cab->folders[i].firstBlock = block;
        cab->folders[i].blockCount = blocks;
        // Every block of the folder lies within the cabinet and is intact.
        uint32_t bytes = 0;
        for (uint16_t b = 0; b < blocks; ++b) {
            if (!Fits(size, block, kBlockHeaderSize + blockReserve))
                return CabinetResult::OutOfBounds;
            const uint8_t *head = data + block;
            uint16_t packed = U16(head + 4), unpacked = U16(head + 6);
            size_t payload = block + kBlockHeaderSize + blockReserve;
            if (packed != unpacked || unpacked > kMaxBlock || !Fits(size, payload, packed))
                return CabinetResult::OutOfBounds;
            uint32_t sum = U32(head);
            if (sum && Checksum(head + 4, 4, Checksum(data + payload, packed, 0)) != sum)
                return CabinetResult::BadChecksum;
            bytes += packed;
            block = static_cast<uint32_t>(payload + packed);
        }
        cab->folders[i].bytes = bytes;
    }
    cab->folderCount = folders;

    at = filesAt;
    for (uint16_t i = 0; i < files; ++i) {
        if (!Fits(size, at, kFileEntrySize))
            return CabinetResult::OutOfBounds;
        Member &member = cab->members[i];
        member.size = U32(data + at);
        member.offset = U32(data + at + 4);
        member.folder = U16(data + at + 8);
        // Files continued from or into another cabinet have folder numbers
        // from 0xFFFD on.
        if (member.folder >= 0xFFFD)
            return CabinetResult::MultiPart;
        if (member.folder >= folders || member.offset > cab->folders[member.folder].bytes
            || member.size > cab->folders[member.folder].bytes - member.offset)
            return CabinetResult::OutOfBounds;
        at += kFileEntrySize;
        if (!ReadMemberName(data + at, size - at, &member))
            return CabinetResult::BadMemberName;
        if (FindMember(*cab, member.number))
            return CabinetResult::DuplicateNumber;
        at += strlen(member.name) + 1;
        cab->memberCount = static_cast<uint16_t>(i + 1);
    }
    return CabinetResult::Ok;
}

const Member *FindMember(const Cabinet &cab, uint16_t number)
{
    for (uint16_t i = 0; i < cab.memberCount; ++i)
        if (cab.members[i].number == number)
            return &cab.members[i];
    return nullptr;
}

bool ExtractMember(const Cabinet &cab, const Member &member,
                   bool (*sink)(void *context, const uint8_t *bytes, size_t count), void *context)
{
    // Walks the folder's blocks, already checked by ReadCabinet, and hands on
    // the part of each that belongs to the member.
    size_t blockReserve = 0;
    if (U16(cab.data + 30) & kReservePresent)
        blockReserve = cab.data[kHeaderSize + 3];
    size_t block = cab.folders[member.folder].firstBlock;
    uint32_t start = member.offset, end = member.offset + member.size, position = 0;
    for (uint16_t b = 0; b < cab.folders[member.folder].blockCount && position < end; ++b) {
        uint16_t length = U16(cab.data + block + 4);
        const uint8_t *payload = cab.data + block + kBlockHeaderSize + blockReserve;
        uint32_t from = start > position ? start - position : 0;
        uint32_t to = end - position < length ? end - position : length;
        if (from < to && !sink(context, payload + from, to - from))
            return false;
        position += length;
        block += kBlockHeaderSize + blockReserve + length;
    }
    return true;
}

const char *DescribeCabinetResult(CabinetResult result)
{
    switch (result) {
    case CabinetResult::Ok:
        return "valid";
    case CabinetResult::TooShort:
        return "too short to be a cabinet";
    case CabinetResult::BadSignature:
        return "not a cabinet (no MSCF signature)";
    case CabinetResult::BadLength:
        return "truncated: shorter than its recorded size";
    case CabinetResult::MultiPart:
        return "part of a set of cabinets";
    case CabinetResult::Compressed:
        return "compressed: only uncompressed cabinets are installed";
    case CabinetResult::TooMany:
        return "more folders or members than an installer can hold";
    case CabinetResult::OutOfBounds:
        return "an entry or data block lies outside the cabinet";
    case CabinetResult::BadChecksum:
        return "a data block is damaged (checksum)";
    case CabinetResult::BadMemberName:
        return "a member name is not NAME.NNN (8.3, numeric extension)";
    case CabinetResult::DuplicateNumber:
        return "two members have the same numeric extension";
    default:
        break;  // the control file's own
    }
    return "unknown result";
}

}  // namespace cecab
