// The test that picks the keyboard driver's active entry: any name of any
// length, with or without a zero, in a buffer of exactly its size. Checks that
// the name matches exactly "PLN1:" with its zero inside the buffer, and that
// nothing past the buffer is read (the sanitizer watches the heap block).
#include <stdlib.h>
#include <string.h>
#include "setuptext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    size_t units = size / sizeof(wchar_t);
    wchar_t *name = static_cast<wchar_t *>(malloc(units ? units * sizeof(wchar_t) : 1));
    memcpy(name, data, units * sizeof(wchar_t));

    static const wchar_t device[] = {'P', 'L', 'N', '1', ':', 0};
    bool expected = units >= ARRAYSIZE(device) && memcmp(name, device, sizeof(device)) == 0;

    if (IsKeyboardDeviceName(name, units) != expected)
        abort();
    free(name);
    return 0;
}
