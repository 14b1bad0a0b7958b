// The caption form both ways, with any text and any result size (mostly the
// caption's 128 units). Escaping: the result is terminated within its buffer,
// has "&" only in pairs, never half a surrogate pair of a well-formed entry,
// and is exactly the longest run of the entry's whole characters whose
// escaped form fits (a 127-unit entry ending in a high surrogate was cut
// there by its read, so that unit goes). Unescaping: terminated, exactly the
// text with each "&" taking the unit after it, a final lone "&" dropped, cut
// to whole characters. Both ways: a well-formed entry of at most 127 units
// comes back as the longest run of its whole characters that fits escaped.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include "captiontext.h"
#include "textunits.h"

namespace {

typedef std::vector<wchar_t> Text;

// The units of the character at i: a pair, or any other single unit.
size_t CharacterAt(const Text &text, size_t i)
{
    return IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1]) ? 2 : 1;
}

// The text's whole characters, each "&" doubled when escaping, while the
// result and its zero fit in units.
Text Fit(const Text &text, size_t units, bool escaping)
{
    Text result;
    for (size_t i = 0; i < text.size();) {
        size_t length = CharacterAt(text, i);
        bool doubled = escaping && text[i] == L'&';
        if (result.size() + length + doubled + 1 > units)
            break;
        result.insert(result.end(), text.begin() + i, text.begin() + i + length);
        if (doubled)
            result.push_back(L'&');
        i += length;
    }
    return result;
}

Text EscapedModel(Text entry, size_t units)
{
    if (entry.size() == kCaptionUnits - 1 && IsHigh(entry.back()))
        entry.pop_back();
    return Fit(entry, units, true);
}

Text UnescapedModel(const Text &caption, size_t units)
{
    Text plain;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && ++i == caption.size())
            break;
        plain.push_back(caption[i]);
    }
    return Fit(plain, units, false);
}

bool AmpersandsPaired(const Text &text)
{
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == L'&' && (i + 1 == text.size() || text[++i] != L'&'))
            return false;
    return true;
}

// Runs one of the two routines into a buffer of `units` prefilled with 'X',
// so that whatever it leaves unwritten shows.
Text Convert(void (*routine)(const wchar_t *, wchar_t *, size_t), const Text &text, size_t units)
{
    wchar_t *source = HeapText(text);
    wchar_t *result = static_cast<wchar_t *>(malloc(units * sizeof(wchar_t)));
    for (size_t i = 0; i < units; ++i)
        result[i] = L'X';
    routine(source, result, units);
    Text converted = Terminated(result, units);
    free(result);
    free(source);
    return converted;
}

Text Escape(const Text &entry, size_t units) { return Convert(EscapeAmpersands, entry, units); }

Text Unescape(const Text &caption, size_t units) { return Convert(UnescapeAmpersands, caption, units); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    size_t units = input.ConsumeBool() ? kCaptionUnits : input.ConsumeIntegralInRange<size_t>(1, 300);
    bool compact = input.ConsumeBool();
    std::vector<uint8_t> bytes = input.ConsumeRemainingBytes<uint8_t>();
    Text text = UpToZero(UnitsFromBytes(bytes.data(), bytes.size(), compact));
    bool wellFormed = IsWellFormed(text);

    Text escaped = Escape(text, units);
    Check(escaped == EscapedModel(text, units), "escaped: the whole characters that fit");
    Check(AmpersandsPaired(escaped), "escaped: \"&\" only in pairs");
    Check(!wellFormed || IsWellFormed(escaped), "escaped: no half pair from a well-formed entry");

    Text plain = Unescape(text, units);
    Check(plain == UnescapedModel(text, units), "unescaped: the whole characters that fit");
    Check(!wellFormed || IsWellFormed(plain), "unescaped: no half pair from a well-formed caption");

    // The edit dialog's round: a well-formed entry read with its 127-unit
    // bound, escaped and unescaped through caption buffers, comes back as the
    // longest run of its whole characters whose escaped form fits.
    if (wellFormed && text.size() < kCaptionUnits) {
        Text back = Unescape(Escape(text, kCaptionUnits), kCaptionUnits);
        Text prefix;
        size_t escapedLength = 0;
        for (size_t i = 0; i < text.size(); i += CharacterAt(text, i)) {
            escapedLength += CharacterAt(text, i) + (text[i] == L'&');
            if (escapedLength > kCaptionUnits - 1)
                break;
            prefix.insert(prefix.end(), text.begin() + i, text.begin() + i + CharacterAt(text, i));
        }
        Check(back == prefix, "round trip: the longest prefix that fits");
        Check(escapedLength > kCaptionUnits - 1 || back == text, "round trip: an entry that fits comes back whole");
    }
    return 0;
}
