// The characters a caption types, for any caption: zero-terminated, or 128
// units without a zero, in a buffer of exactly its size, into lists of 127.
// Checks that the list is the caption's first 127 units at most walked so that
// each "&" is typed and the unit after it skipped, a final "&" ending the
// walk; that every shift state is the key-down flag; and that a caption in
// caption form ("&" only in pairs) types its plain text, with no half of a
// surrogate pair when it is well-formed.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <string.h>
#include "captiontext.h"
#include "textunits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    bool compact = input.ConsumeBool();
    std::vector<uint8_t> bytes = input.ConsumeRemainingBytes<uint8_t>();
    std::vector<wchar_t> units = UnitsFromBytes(bytes.data(), bytes.size(), compact);
    std::vector<wchar_t> text = UpToZero(units);
    if (text.size() > kCaptionUnits)
        text.resize(kCaptionUnits);
    // 128 units without a zero, or the text and its zero.
    size_t captionUnits = text.size() == kCaptionUnits ? kCaptionUnits : text.size() + 1;
    wchar_t *caption = static_cast<wchar_t *>(malloc(captionUnits * sizeof(wchar_t)));
    if (!text.empty())
        memcpy(caption, text.data(), text.size() * sizeof(wchar_t));
    if (text.size() < kCaptionUnits)
        caption[text.size()] = 0;

    const size_t listSize = kCaptionUnits - 1;
    unsigned int *characters = static_cast<unsigned int *>(malloc(listSize * sizeof(unsigned int)));
    unsigned int *shiftStates = static_cast<unsigned int *>(malloc(listSize * sizeof(unsigned int)));
    unsigned int count = BuildCharacterList(caption, characters, shiftStates);

    std::vector<unsigned int> expected;
    for (size_t i = 0; i < text.size() && i < kCaptionUnits - 1; ++i) {
        expected.push_back(text[i]);
        if (text[i] == L'&')
            ++i;
    }
    Check(count <= listSize, "at most 127 characters");
    Check(std::vector<unsigned int>(characters, characters + count) == expected, "the characters typed");
    for (unsigned int i = 0; i < count; ++i)
        Check(shiftStates[i] == 0x0080, "every character typed with the key down");

    bool captionForm = text.size() < kCaptionUnits;
    for (size_t i = 0; captionForm && i < text.size(); ++i)
        if (text[i] == L'&' && (i + 1 == text.size() || text[++i] != L'&'))
            captionForm = false;
    if (captionForm) {
        // The plain text that the entry dialog shows for the same caption.
        wchar_t plain[kCaptionUnits];
        UnescapeAmpersands(caption, plain, kCaptionUnits);
        std::vector<unsigned int> shown;
        for (size_t i = 0; plain[i]; ++i)
            shown.push_back(plain[i]);
        Check(std::vector<unsigned int>(characters, characters + count) == shown, "a caption types its plain text");
        std::vector<wchar_t> typed(characters, characters + count);
        Check(!IsWellFormed(text) || IsWellFormed(typed), "no half pair from a well-formed caption");
    }
    free(shiftStates);
    free(characters);
    free(caption);
    return 0;
}
