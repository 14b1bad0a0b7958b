// Caption text without windows: what the palette's dialogs and typing decide
// from a caption's units alone.
#include <windows.h>
#include <keybd.h>
#include <string.h>
#include "captiontext.h"

namespace {

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

void UnescapeAmpersands(const wchar_t *source, wchar_t *result, size_t resultUnits)
{
    if (resultUnits == 0)
        return;
    // A text longer than the result keeps its whole characters that fit.
    size_t out = 0;
    for (size_t i = 0; source[i]; ++i) {
        if (source[i] == L'&') {
            ++i;  // "&&" is one "&"; a lone final "&" is dropped
            if (!source[i])
                break;
        }
        // The unit that follows in the text: "&&" stands for one "&".
        size_t next = source[i + 1] == L'&' ? i + 2 : i + 1;
        bool pair = IsHighSurrogate(source[i]) && IsLowSurrogate(source[next]);
        if (out + (pair ? 2 : 1) + 1 > resultUnits)
            break;
        result[out++] = source[i];
        if (pair) {
            result[out++] = source[next];
            i = next;
        }
    }
    result[out] = 0;
}

void EscapeAmpersands(const wchar_t *source, wchar_t *result, size_t resultUnits)
{
    if (resultUnits == 0)
        return;
    // An entry whose doubled ampersands would not fit keeps what fits, in
    // whole characters: never half of "&&" nor half of a surrogate pair.
    // Every other unit stands as it is, a lone surrogate too.
    size_t out = 0;
    for (size_t i = 0; source[i]; ++i) {
        wchar_t unit = source[i];
        bool pair = IsHighSurrogate(unit) && IsLowSurrogate(source[i + 1]);
        if (IsHighSurrogate(unit) && !pair && i == kCaptionUnits - 2 && !source[i + 1])
            break;  // the 127-unit read of the entry cut its last pair
        size_t need = (unit == L'&' || pair) ? 2 : 1;
        if (out + need + 1 > resultUnits)
            break;
        result[out++] = unit;
        if (unit == L'&')
            result[out++] = L'&';
        else if (pair)
            result[out++] = source[++i];
    }
    result[out] = 0;
}

unsigned int BuildCharacterList(const wchar_t *caption, unsigned int *characters, unsigned int *shiftStates)
{
    unsigned int count = 0;
    for (size_t i = 0; i < kCaptionUnits - 1 && caption[i];) {
        wchar_t unit = caption[i];
        characters[count] = unit;
        shiftStates[count] = KeyStateDownFlag;
        ++count;
        if (unit != L'&') {
            ++i;
            continue;
        }
        // "&&" is one "&"; a "&" at the end ends the text.
        if (caption[i + 1] == 0)
            break;
        i += 2;
    }
    return count;
}

void CaptionFromStoredBytes(const unsigned char *bytes, size_t byteCount, wchar_t (&caption)[kCaptionUnits])
{
    memset(caption, 0, sizeof(caption));
    if (bytes)
        memcpy(caption, bytes, byteCount < sizeof(caption) ? byteCount : sizeof(caption));
    // A value longer than a caption, or without a zero, shows its first 127
    // units; the cut drops the first half of a pair it would split. Every
    // other unit stands as stored.
    const size_t last = kCaptionUnits - 2;
    bool cutsPair = IsHighSurrogate(caption[last]) && IsLowSurrogate(caption[last + 1]);
    caption[last + 1] = 0;
    size_t length = 0;
    while (caption[length])
        ++length;
    if (cutsPair && length == last + 1)
        caption[last] = 0;
}
