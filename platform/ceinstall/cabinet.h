// The Microsoft Cabinet container of an installer cabinet: its member names
// and their bytes, for cabinets of one set without compression. Plain C++
// without window calls.
#ifndef CEINSTALL_CABINET_H
#define CEINSTALL_CABINET_H

#include <stddef.h>
#include <stdint.h>
#include "bytereader.h"

namespace cecab {

enum : size_t { kMaxMembers = 64, kMaxFolders = 4, kMaxMemberName = 13 };  // 8.3 and its NUL

struct Member {
    char name[kMaxMemberName];
    uint16_t number;  // the numeric extension
    uint16_t folder;
    uint32_t offset;  // within the folder's bytes
    uint32_t size;
};

struct Cabinet {
    const uint8_t *data;
    size_t size;
    uint16_t folderCount;
    struct {
        uint32_t firstBlock;
        uint16_t blockCount;
        uint32_t bytes;  // all its blocks' bytes
    } folders[kMaxFolders];
    uint16_t memberCount;
    Member members[kMaxMembers];
};

// The cabinet reader's outcomes: Ok and the common ones, and the cabinet's own.
using CabinetResult = ReadResult;

// Reads the directory of size bytes and checks every data block; the
// cabinet keeps pointing at data. Anything but Ok leaves *cab meaningless.
CabinetResult ReadCabinet(const uint8_t *data, size_t size, Cabinet *cab);
const char *DescribeCabinetResult(CabinetResult result);

// The member with this numeric extension, or null.
const Member *FindMember(const Cabinet &cab, uint16_t number);

// Hands the member's bytes to sink in pieces, in order; false when sink
// refuses one.
bool ExtractMember(const Cabinet &cab, const Member &member,
                   bool (*sink)(void *context, const uint8_t *bytes, size_t count), void *context);

}  // namespace cecab

#endif
