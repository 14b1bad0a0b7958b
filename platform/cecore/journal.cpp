#include <windows.h>
#include "cejournal.h"
#include "cecore_internal.h"

namespace {
bool recording;
std::vector<CeCall> calls;
}

void CeJournalStart()
{
    calls.clear();
    recording = true;
}

void CeJournalStop() { recording = false; }

std::vector<CeCall> CeJournalTake()
{
    std::vector<CeCall> out;
    out.swap(calls);
    return out;
}

bool CeJournalOn() { return recording; }

void CeJournalRecord(const wchar_t *function, const std::wstring &path, const wchar_t *value,
                     DWORD type, DWORD size, const void *data, LONG_PTR result)
{
    if (!recording)
        return;
    CeCall call;
    call.function = function;
    call.path = path;
    if (value)
        call.value = value;
    call.type = type;
    call.size = size;
    if (data && size)
        call.data.assign(static_cast<const BYTE *>(data), static_cast<const BYTE *>(data) + size);
    call.result = result;
    calls.push_back(std::move(call));
}
