// The caption a stored button text shows, from any bytes of any count (none
// at all given as a null pointer), with or without a zero, in a heap block of
// exactly that count. Checks that the caption is terminated within its 128
// units; that a stored text of at most 127 units shows whole and unchanged,
// a trailing surrogate half included; that a longer one shows its first 127
// units, less the first half of a pair the cut would split; and so that a
// well-formed stored text never shows half a pair.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <string.h>
#include "captiontext.h"
#include "textunits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    unsigned char *bytes = size ? static_cast<unsigned char *>(malloc(size)) : nullptr;
    if (size)
        memcpy(bytes, data, size);

    wchar_t caption[kCaptionUnits];
    for (wchar_t &unit : caption)
        unit = L'X';
    CaptionFromStoredBytes(bytes, size, caption);
    std::vector<wchar_t> shown = Terminated(caption, kCaptionUnits);

    // The stored text: units low byte first, an odd last byte a unit of its
    // own, up to the first zero.
    std::vector<wchar_t> stored;
    for (size_t i = 0; i < size; i += 2) {
        wchar_t unit = static_cast<wchar_t>(data[i] | (i + 1 < size ? data[i + 1] << 8 : 0));
        if (!unit)
            break;
        stored.push_back(unit);
    }
    std::vector<wchar_t> expected(stored);
    if (expected.size() > kCaptionUnits - 1) {
        bool splitsPair = IsHigh(expected[kCaptionUnits - 2]) && IsLow(expected[kCaptionUnits - 1]);
        expected.resize(splitsPair ? kCaptionUnits - 2 : kCaptionUnits - 1);
    }
    Check(shown == expected, "the caption shown");
    Check(!IsWellFormed(stored) || IsWellFormed(shown), "no half pair from a well-formed text");
    free(bytes);
    return 0;
}
