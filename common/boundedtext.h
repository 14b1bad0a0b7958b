// Text in fixed buffers, bounded with what the device's SDK has: every result
// ends in a zero within its buffer, and text that would not fit whole is
// refused rather than cut.
#ifndef COMMON_BOUNDEDTEXT_H
#define COMMON_BOUNDEDTEXT_H

#include <stddef.h>

// The number of elements of an array (never of a pointer).
#define COUNTOF(array) (sizeof(array) / sizeof((array)[0]))

// The length of text whose zero lies within its first units; false when none
// of them is a zero.
inline bool BoundedLength(const wchar_t *text, size_t units, size_t *length)
{
    for (size_t i = 0; i < units; ++i) {
        if (text[i] == L'\0') {
            *length = i;
            return true;
        }
    }
    return false;
}

// Appends source behind the text in buffer, a buffer of units. False, with
// the buffer as it was, when the buffer holds no terminated text or the
// whole source and its zero do not fit behind it.
inline bool AppendText(wchar_t *buffer, size_t units, const wchar_t *source)
{
    size_t length = 0;
    if (!BoundedLength(buffer, units, &length))
        return false;
    size_t sourceLength = 0;
    if (!BoundedLength(source, units - length, &sourceLength))
        return false;
    for (size_t i = 0; i <= sourceLength; ++i)
        buffer[length + i] = source[i];
    return true;
}

// Copies source whole into buffer; false, with an empty buffer, when it does
// not fit with its zero.
inline bool CopyText(wchar_t *buffer, size_t units, const wchar_t *source)
{
    if (units == 0)
        return false;
    buffer[0] = L'\0';
    return AppendText(buffer, units, source);
}

#endif
