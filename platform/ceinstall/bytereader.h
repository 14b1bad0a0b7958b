// Reading untrusted little-endian bytes, as the installer's cabinet and
// control-file readers do: values, bounds, a signed header, and what a
// reader makes of the bytes. Plain C++ without window calls.
#ifndef CEINSTALL_BYTEREADER_H
#define CEINSTALL_BYTEREADER_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

namespace cecab {

// What reading a cabinet or a control file came to; each reader describes
// its own outcomes in its own words.
enum class ReadResult {
    Ok,
    TooShort,
    BadSignature,
    BadLength,
    OutOfBounds,
    TooMany,
    // The cabinet's own.
    MultiPart,
    Compressed,
    BadChecksum,
    BadMemberName,
    DuplicateNumber,
    // The control file's own.
    BadText,
    BadName,
    DuplicateId,
    UnknownString,
    UnknownDir,
    UnknownFile,
    BadFileNumber,
    BadFolder,
    BadRegistryEntry,
    BadLink,
};

inline uint16_t U16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t U32(const uint8_t *p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16)
           | (static_cast<uint32_t>(p[3]) << 24);
}

// Whether n bytes from at lie within size bytes, without overflow.
inline bool Fits(size_t size, size_t at, size_t n) { return at <= size && n <= size - at; }

// A bounded cursor: Take only what Has allowed.
struct ByteReader {
    const uint8_t *data;
    size_t size;
    size_t at;
    bool Has(size_t n) const { return Fits(size, at, n); }
    const uint8_t *Take(size_t n)
    {
        const uint8_t *p = data + at;
        at += n;
        return p;
    }
};

// The start both formats share: at least headerSize bytes that open with
// the four-letter signature and record at 8 their own length, which holds
// the header and lies within size (is exactly size when exactSize).
inline ReadResult CheckHeader(const uint8_t *data, size_t size, size_t headerSize, const char *signature,
                              bool exactSize)
{
    if (size < headerSize)
        return ReadResult::TooShort;
    if (memcmp(data, signature, 4) != 0)
        return ReadResult::BadSignature;
    uint32_t recorded = U32(data + 8);
    if (recorded > size || recorded < headerSize || (exactSize && recorded != size))
        return ReadResult::BadLength;
    return ReadResult::Ok;
}

}  // namespace cecab

#endif
