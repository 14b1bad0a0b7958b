// The button-text store: the 38 texts as values "KZ1" to "KZ38" of the
// settings key, in caption form.
#ifndef PALETTE_TEXTSTORE_H
#define PALETTE_TEXTSTORE_H

#include <windows.h>
#include "registrynames.h"

// Opens the settings key, creating it when it is missing (loading). Null when
// the key can be neither opened nor created.
HKEY OpenOrCreateTextStore();
// Opens the settings key as it is (saving): null when it is missing.
HKEY OpenTextStore();
// Writes the 38 defaults, 14 bytes each, unless "KZ1" shows they were.
void SeedButtonTexts(HKEY store);
// The caption that button n's stored text shows; empty when it is missing.
void ReadButtonText(HKEY store, int button, wchar_t (&caption)[kTextUnits]);
// Stores button n's caption with all 256 bytes of its buffer.
void WriteButtonText(HKEY store, int button, const wchar_t (&caption)[kTextUnits]);
// Makes the writes durable, then closes the key.
void CloseTextStore(HKEY store);

#endif
