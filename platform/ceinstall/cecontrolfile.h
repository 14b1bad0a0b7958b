// The installer cabinet's control file (the ".000" member): the application,
// its provider, and the folders, files, registry entries and shortcuts it
// lists. Read with every offset, count and name checked; plain C++ without
// window calls, so that it can be exercised on its own.
#ifndef CEINSTALL_CECONTROLFILE_H
#define CEINSTALL_CECONTROLFILE_H

#include <stddef.h>
#include <stdint.h>
#include "bytereader.h"

namespace cecab {

enum : size_t {
    kControlHeaderSize = 100,
    kMaxStrings = 64,
    kMaxDirs = 16,
    kMaxFiles = 32,
    kMaxLinks = 16,
    kMaxPathParts = 8,
    kMaxText = 64,  // bytes of a name, its NUL included
};

// A folder as a list of names; the first may stand for a standard folder of
// the device (%CEn%, n from 1 to 17: base), else base is 0.
struct Path {
    uint16_t base;
    uint16_t count;                 // names after the base
    uint16_t parts[kMaxPathParts];  // indexes into ControlFile::strings
};

struct Dir {
    uint16_t id;
    Path path;
};

struct File {
    uint16_t id;        // the member's numeric extension, 1 to 998
    uint16_t dirIndex;  // index into ControlFile::dirs
    uint32_t flags;
    char name[kMaxText];
};

enum : uint16_t { kLinkToDir = 0, kLinkToFile = 1 };

struct Link {
    uint16_t id;
    uint16_t base;    // 0: the install folder; 1 to 17: %CEn%
    uint16_t type;    // kLinkToDir or kLinkToFile
    uint16_t target;  // dir: 0 (the install folder) or index + 1; file: index into files
    Path path;        // the link's name, under base (base of the path is 0)
};

struct ControlFile {
    char appName[kMaxText];
    char provider[kMaxText];
    uint16_t stringCount;
    uint16_t stringIds[kMaxStrings];
    char strings[kMaxStrings][kMaxText];
    uint16_t dirCount;
    Dir dirs[kMaxDirs];
    uint16_t fileCount;
    File files[kMaxFiles];
    uint16_t regHiveCount;
    uint16_t regKeyCount;
    uint16_t linkCount;
    Link links[kMaxLinks];
};

// The control-file reader's outcomes: Ok and the common ones, and the
// control file's own.
using ControlResult = ReadResult;

// Fills *out from size bytes; anything but Ok leaves *out meaningless.
ControlResult ReadControlFile(const uint8_t *data, size_t size, ControlFile *out);
const char *DescribeControlResult(ControlResult result);

// A name that can stand as one file or folder name: printable ASCII, no
// separators, wildcards, drive colons or "%", no "..", not ending in a dot
// or a space, shorter than kMaxText.
bool IsPlainName(const char *name);
// "%CEn%" with n from 1 to 17: n; else 0.
int StandardFolderNumber(const char *text);

}  // namespace cecab

#endif
