// The journal's entry point in the stand-ins: a call is handed to the sink a
// test installed, or costs one test when none is.
#include <windows.h>
#include "cejournal.h"
#include "cecore_internal.h"

namespace {
CeJournalSink sink;
}

void CeSetJournalSink(CeJournalSink newSink) { sink = newSink; }

bool CeJournalOn() { return sink != nullptr; }

void CeJournalRecord(const wchar_t *function, const wchar_t *path, const wchar_t *value, DWORD type, DWORD size,
                     const void *data, LONG_PTR result)
{
    if (sink)
        sink(function, path, value, type, size, data, result);
}
