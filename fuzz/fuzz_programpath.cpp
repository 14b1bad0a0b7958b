// The start path built from "InstallDir": any bytes of any count, read into a
// path buffer of any size. Checks that the program path is the folder followed
// directly by "\Pelorin", terminated within the buffer, and that there is
// nothing to start (the buffer untouched) exactly when the folder was read
// without its zero or the suffix does not fit whole; and the bounded-text
// helpers' own refusals on the units read.
#include <stdlib.h>
#include <string.h>
#include "setuptext.h"

namespace {

size_t Units(const wchar_t *s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    // Mostly the hook's own 512 units; any size from 1 to 600 otherwise.
    size_t pathUnits = data[0] & 1 ? 512 : 1 + (data[1] | data[0] << 8) % 600;
    DWORD bytesRead = (data[2] | data[3] << 8) % 1400;
    data += 4;
    size -= 4;

    // Exactly pathUnits, zeroed as the hook's buffer is, then the bytes read.
    wchar_t *path = static_cast<wchar_t *>(calloc(pathUnits, sizeof(wchar_t)));
    wchar_t *before = static_cast<wchar_t *>(calloc(pathUnits, sizeof(wchar_t)));
    memcpy(path, data, size < pathUnits * sizeof(wchar_t) ? size : pathUnits * sizeof(wchar_t));
    memcpy(before, path, pathUnits * sizeof(wchar_t));

    // The folder: terminated among the units read and within the buffer.
    size_t read = bytesRead / sizeof(wchar_t) < pathUnits ? bytesRead / sizeof(wchar_t) : pathUnits;
    size_t folder = 0;
    while (folder < read && before[folder])
        ++folder;
    const size_t suffix = Units(kProgramSuffix);
    bool expected = folder < read && folder + suffix + 1 <= pathUnits;

    bool made = MakeProgramPath(path, pathUnits, bytesRead);
    if (made != expected)
        abort();
    if (made) {
        if (memcmp(path, before, folder * sizeof(wchar_t)) != 0)
            abort();
        if (memcmp(path + folder, kProgramSuffix, (suffix + 1) * sizeof(wchar_t)) != 0)
            abort();
    } else if (memcmp(path, before, pathUnits * sizeof(wchar_t)) != 0) {
        abort();
    }

    // The helpers on the units read alone, as a buffer of their count (one,
    // never written, when there are none): the suffix is appended only behind
    // a zero among them and only whole, the buffer otherwise as it was; the
    // units copied whole are the folder, or nothing when its zero is missing.
    const size_t units = read ? read : 1;
    wchar_t *buffer = static_cast<wchar_t *>(malloc(units * sizeof(wchar_t)));
    memcpy(buffer, before, units * sizeof(wchar_t));
    bool appended = AppendText(buffer, read, kProgramSuffix);
    if (appended != (folder < read && folder + suffix + 1 <= read))
        abort();
    if (appended ? memcmp(buffer + folder, kProgramSuffix, (suffix + 1) * sizeof(wchar_t)) != 0
                 : memcmp(buffer, before, units * sizeof(wchar_t)) != 0)
        abort();
    bool copied = CopyText(buffer, read, before);
    if (copied != (folder < read))
        abort();
    if (copied ? memcmp(buffer, before, (folder + 1) * sizeof(wchar_t)) != 0 : buffer[0] != (read ? L'\0' : before[0]))
        abort();
    free(buffer);
    free(before);
    free(path);
    return 0;
}
