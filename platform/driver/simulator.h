// The keyboard simulator's shared state: a journal of every call the driver
// receives and a queue of pressed keys, both files in the Windows folder so
// that every process of the prefix sees them and they outlive the callers.
// The journal holds one line per call, except that a run of identical lines
// is one line "LINE xN".
#ifndef PLATFORM_DRIVER_SIMULATOR_H
#define PLATFORM_DRIVER_SIMULATOR_H

#include <windows.h>

const DWORD kIoctlSetState = 0x222006;
const DWORD kIoctlSetRepeatRate = 0x22200A;
const DWORD kIoctlSetRepeatDelay = 0x22200E;
const DWORD kIoctlPollPaletteKey = 0x222012;
const DWORD kIoctlSetCloseSoftKeyboard = 0x22201A;

// Appends one line (without its newline) to the journal, folding it into the
// last line when that is the same.
void SimAppendJournal(const char *line);
// Takes the oldest pressed key, or 0 when none is waiting.
DWORD SimTakeKey();
// Queues pressed keys.
bool SimPressKeys(const BYTE *codes, DWORD count);
// Empties both journal and queue.
void SimReset();
bool SimJournalPath(wchar_t *path, size_t units);
// Splits a journal line "LINE xN" into the length of LINE and N (1 when the
// line carries no count).
void SimSplitFolded(const char *line, size_t *baseLength, unsigned long *count);
// Closes the files this process keeps open.
void SimClose();

#endif
