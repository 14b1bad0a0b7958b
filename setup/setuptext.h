// The setup hooks' handling of text read from the registry, apart from any
// registry or window call: the start path built from the recorded folder and
// the test that picks the keyboard driver's active entry.
#ifndef SETUP_SETUPTEXT_H
#define SETUP_SETUPTEXT_H

#include <windows.h>
#include "boundedtext.h"
#include "registrynames.h"

// Appended to "InstallDir": the installed folder's own control panel.
const wchar_t kProgramSuffix[] = L"\\Pelorin";

// path holds what a read of bytesRead bytes left in a buffer of pathUnits.
// Appends the suffix and returns true only when the folder's terminating zero
// was among the units read and the suffix fits whole behind it; otherwise the
// buffer is left as it is and there is nothing to start.
inline bool MakeProgramPath(wchar_t *path, size_t pathUnits, DWORD bytesRead)
{
    size_t unitsRead = bytesRead / sizeof(wchar_t);
    if (unitsRead > pathUnits)
        unitsRead = pathUnits;
    size_t length = 0;
    if (unitsRead == 0 || !BoundedLength(path, unitsRead, &length))
        return false;
    return AppendText(path, pathUnits, kProgramSuffix);
}

// True when the name read into a buffer of nameUnits is exactly the keyboard
// driver's device name, its terminating zero within the buffer.
inline bool IsKeyboardDeviceName(const wchar_t *name, size_t nameUnits)
{
    for (size_t i = 0; i < nameUnits; ++i) {
        if (name[i] != kKeyboardDeviceName[i])
            return false;
        if (name[i] == L'\0')
            return true;
    }
    return false;
}

#endif
