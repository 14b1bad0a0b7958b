// Shared by the CE stand-ins; not seen by system code.
#ifndef CEPLATFORM_CECORE_INTERNAL_H
#define CEPLATFORM_CECORE_INTERNAL_H

#include <windows.h>

bool CeJournalOn();
void CeJournalRecord(const wchar_t *function, const wchar_t *path, const wchar_t *value, DWORD type, DWORD size,
                     const void *data, LONG_PTR result);

#endif
