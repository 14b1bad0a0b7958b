// Shared by the CE stand-ins; not seen by system code.
#ifndef CEPLATFORM_CECORE_INTERNAL_H
#define CEPLATFORM_CECORE_INTERNAL_H

#include <windows.h>
#include <string>

bool CeJournalOn();
void CeJournalRecord(const wchar_t *function, const std::wstring &path, const wchar_t *value,
                     DWORD type, DWORD size, const void *data, LONG_PTR result);

// The journal's name of a key handle ("HKLM\\path"), known while journaling.
std::wstring CeKeyName(HKEY key);

#endif
