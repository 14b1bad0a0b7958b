// libFuzzer target for the installer's control-file reader: whatever it
// accepts must be safe to turn into paths.
#include <assert.h>
#include <stdint.h>
#include <string.h>
#include "cecontrolfile.h"

namespace {

bool Bounded(const char *text) { return memchr(text, 0, cecab::kMaxText) != nullptr; }

void CheckPath(const cecab::ControlFile &cf, const cecab::Path &path)
{
    assert(path.base <= 17);
    assert(path.count <= cecab::kMaxPathParts);
    for (uint16_t i = 0; i < path.count; ++i) {
        assert(path.parts[i] < cf.stringCount);
        const char *part = cf.strings[path.parts[i]];
        assert(cecab::IsPlainName(part));
        assert(!strchr(part, '\\') && !strchr(part, '/') && !strstr(part, ".."));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static cecab::ControlFile cf;
    cecab::ControlResult result = cecab::ReadControlFile(data, size, &cf);
    assert(cecab::DescribeControlResult(result) != nullptr);
    if (result != cecab::ControlResult::Ok)
        return 0;
    // Accepted: the header was there, its recorded length is the size, and
    // every name is bounded and plain.
    assert(size >= cecab::kControlHeaderSize && memcmp(data, "MSCE", 4) == 0);
    assert((data[8] | data[9] << 8 | data[10] << 16 | (uint32_t)data[11] << 24) == size);
    assert(Bounded(cf.appName) && cecab::IsPlainName(cf.appName));
    assert(Bounded(cf.provider) && cecab::IsPlainName(cf.provider));
    assert(cf.stringCount <= cecab::kMaxStrings && cf.dirCount <= cecab::kMaxDirs);
    assert(cf.fileCount <= cecab::kMaxFiles && cf.linkCount <= cecab::kMaxLinks);
    for (uint16_t i = 0; i < cf.stringCount; ++i)
        assert(Bounded(cf.strings[i])
               && (cecab::IsPlainName(cf.strings[i]) || cecab::StandardFolderNumber(cf.strings[i])));
    for (uint16_t i = 0; i < cf.dirCount; ++i)
        CheckPath(cf, cf.dirs[i].path);
    for (uint16_t i = 0; i < cf.fileCount; ++i) {
        const cecab::File &file = cf.files[i];
        assert(file.id >= 1 && file.id <= 998 && file.dirIndex < cf.dirCount);
        assert(Bounded(file.name) && cecab::IsPlainName(file.name));
        for (uint16_t j = 0; j < i; ++j)
            assert(cf.files[j].id != file.id);
    }
    for (uint16_t i = 0; i < cf.linkCount; ++i) {
        const cecab::Link &link = cf.links[i];
        assert(link.base <= 17 && link.path.base == 0 && link.path.count >= 1);
        assert(link.type == cecab::kLinkToFile ? link.target < cf.fileCount : link.target <= cf.dirCount);
        CheckPath(cf, link.path);
    }
    return 0;
}
