// Caption text of the palette's buttons, without any window: the "&&" form
// both ways, the characters a caption types, and what a stored value shows.
// UTF-16 throughout (wchar_t is 16 bits on the device and with -fshort-wchar).
#ifndef PALETTE_CAPTIONTEXT_H
#define PALETTE_CAPTIONTEXT_H

#include <stddef.h>

// A caption holds at most 127 units and a terminating zero.
const size_t kCaptionUnits = 128;

// Caption form and back. Both results are zero-terminated within resultUnits
// (which must be at least 1). Both keep whole characters: a text that would
// not fit loses its tail, never half of "&&" or of a surrogate pair. Escaping
// also drops a pair that the 127-unit read of the entry cut.
void UnescapeAmpersands(const wchar_t *source, wchar_t *result, size_t resultUnits);
void EscapeAmpersands(const wchar_t *source, wchar_t *result, size_t resultUnits);

// The characters that a caption types: "&&" is one "&", a final "&" ends it.
// The caption is zero-terminated or 128 units long; its first 127 units at
// most are typed, and both lists hold at least 127 entries.
// Returns the number of characters.
unsigned int BuildCharacterList(const wchar_t *caption, unsigned int *characters, unsigned int *shiftStates);

// The caption that a stored value shows, from the bytes read for it (any
// type, any length, with or without a zero): its first 127 units at most,
// without the half of a pair that the cut would split; every other unit as
// stored. A null or empty value shows an empty caption.
void CaptionFromStoredBytes(const unsigned char *bytes, size_t byteCount, wchar_t (&caption)[kCaptionUnits]);

#endif
