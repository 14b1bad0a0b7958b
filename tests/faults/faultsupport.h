// What the fault tests need beyond the shared support: the driver's active
// entry, raw stored values, the programs' windows and controls, and a
// program's memory as the system sees it.
#ifndef TESTS_FAULTS_FAULTSUPPORT_H
#define TESTS_FAULTS_FAULTSUPPORT_H

#include <windows.h>
#include <string>
#include <vector>
#include "testsupport.h"

// The device manager's handle of the loaded keyboard driver; 0 when none.
DWORD KeyboardDriverHandle();

// A value of any type and size, written as it stands.
void WriteRawValue(HKEY root, const wchar_t *path, const wchar_t *name, DWORD type, const std::vector<BYTE> &data);
std::vector<BYTE> Bytes(const std::wstring &units, bool withZero);

// Every visible top-level window with this title, of any process.
std::vector<HWND> TopLevelWindows(const wchar_t *title, const wchar_t *cls = nullptr);
// A top-level window of the process with this class that holds the control.
HWND WaitTopLevelOf(DWORD process, const wchar_t *cls, int control, DWORD timeoutMs = 10000);
std::wstring WindowText(HWND window);

// Wine's own Notepad, with "note:" typed and the caret behind it.
struct Notepad {
    Program program;
    HWND window = nullptr, edit = nullptr;
    bool Start();
    std::wstring Text() const;
    // The text once everything typed before the call has arrived: a marker
    // typed after it, through the same input, has come and is taken off.
    std::wstring TextWhenSettled() const;
};

// Resident and private bytes of a running program, read by Wine from the
// Linux process, and its open handles as the wineserver counts them in its
// process list (Wine counts its handle table, in steps of 32); zeros when they
// cannot be read.
struct Memory {
    SIZE_T resident = 0, committed = 0;
    ULONG handles = 0;
};
Memory ProgramMemory(const Program &program);

// Makes "Software\Corvane" volatile, which takes no lasting subkey: the
// settings key can then be neither opened nor created. True when it is so.
bool RefuseSettingsKey();

// Number of journal lines equal to line.
int CountJournal(const std::string &line);

#endif
