// Helpers shared by the caption fuzz targets: turning input bytes into UTF-16
// units (often from a small alphabet of "&", letters and surrogate halves, so
// that the interesting shapes are near), and checks on the units.
#ifndef FUZZ_TEXTUNITS_H
#define FUZZ_TEXTUNITS_H

#include <stdio.h>
#include <stdlib.h>
#include <vector>

inline void Check(bool holds, const char *what)
{
    if (!holds) {
        fprintf(stderr, "property broken: %s\n", what);
        abort();
    }
}

inline bool IsHigh(unsigned unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
inline bool IsLow(unsigned unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Units from bytes: in compact form each byte picks one unit of a small
// alphabet (zero included); otherwise two bytes make one unit, low byte first.
inline std::vector<wchar_t> UnitsFromBytes(const uint8_t *data, size_t size, bool compact)
{
    static const wchar_t alphabet[] = {L'&', L'&', L'a', 0xD83D, 0xDE00, 0xDBFF, 0xDC00, 0x20AC, 0};
    std::vector<wchar_t> units;
    if (compact) {
        for (size_t i = 0; i < size; ++i)
            units.push_back(alphabet[data[i] % (sizeof(alphabet) / sizeof(alphabet[0]))]);
    } else {
        for (size_t i = 0; i + 1 < size; i += 2)
            units.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    }
    return units;
}

// The units before the first zero.
inline std::vector<wchar_t> UpToZero(const std::vector<wchar_t> &units)
{
    std::vector<wchar_t> text;
    for (wchar_t unit : units) {
        if (!unit)
            break;
        text.push_back(unit);
    }
    return text;
}

// No surrogate half stands alone.
inline bool IsWellFormed(const std::vector<wchar_t> &text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1]))
            ++i;
        else if (IsHigh(text[i]) || IsLow(text[i]))
            return false;
    }
    return true;
}

// The text of a result buffer, checked to be terminated within its units.
inline std::vector<wchar_t> Terminated(const wchar_t *buffer, size_t units)
{
    size_t length = 0;
    while (length < units && buffer[length])
        ++length;
    Check(length < units, "result terminated within its buffer");
    return std::vector<wchar_t>(buffer, buffer + length);
}

// A zero-terminated heap copy of exactly the text and its zero, so that a
// read past the zero is caught.
inline wchar_t *HeapText(const std::vector<wchar_t> &text)
{
    wchar_t *copy = static_cast<wchar_t *>(malloc((text.size() + 1) * sizeof(wchar_t)));
    for (size_t i = 0; i < text.size(); ++i)
        copy[i] = text[i];
    copy[text.size()] = 0;
    return copy;
}

#endif
