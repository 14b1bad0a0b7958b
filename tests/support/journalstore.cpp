// The store behind the stand-ins' journal: the calls in order, as CeCall.
#include <windows.h>
#include "cejournal.h"

namespace {

std::vector<CeCall> calls;

void Store(const wchar_t *function, const wchar_t *path, const wchar_t *value, DWORD type, DWORD size, const void *data,
           LONG_PTR result)
{
    CeCall call;
    call.function = function;
    call.path = path ? path : L"";
    if (value)
        call.value = value;
    call.type = type;
    call.size = size;
    if (data && size)
        call.data.assign(static_cast<const BYTE *>(data), static_cast<const BYTE *>(data) + size);
    call.result = result;
    calls.push_back(std::move(call));
}

}  // namespace

void CeJournalStart()
{
    calls.clear();
    CeSetJournalSink(Store);
}

void CeJournalStop() { CeSetJournalSink(nullptr); }

std::vector<CeCall> CeJournalTake()
{
    std::vector<CeCall> out;
    out.swap(calls);
    return out;
}
