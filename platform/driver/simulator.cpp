#include "simulator.h"
#include <strsafe.h>
#include <initializer_list>

namespace {

bool SimPath(LPCWSTR file, wchar_t *path, size_t units)
{
    wchar_t dir[MAX_PATH];
    if (!GetWindowsDirectoryW(dir, ARRAYSIZE(dir)))
        return false;
    StringCchCatW(dir, ARRAYSIZE(dir), L"\\PelorinSim");
    CreateDirectoryW(dir, nullptr);
    return SUCCEEDED(StringCchPrintfW(path, units, L"%s\\%s", dir, file));
}

// Serialises the queue between processes.
class QueueLock {
public:
    QueueLock() : mutex_(CreateMutexW(nullptr, FALSE, L"PelorinSimQueue"))
    {
        if (mutex_)
            WaitForSingleObject(mutex_, 5000);
    }
    ~QueueLock()
    {
        if (mutex_) {
            ReleaseMutex(mutex_);
            CloseHandle(mutex_);
        }
    }

private:
    HANDLE mutex_;
};

HANDLE OpenShared(LPCWSTR file, DWORD access, DWORD disposition)
{
    wchar_t path[MAX_PATH];
    if (!SimPath(file, path, ARRAYSIZE(path)))
        return INVALID_HANDLE_VALUE;
    return CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

bool SimJournalPath(wchar_t *path, size_t units) { return SimPath(L"journal.txt", path, units); }

void SimAppendJournal(const char *line)
{
    HANDLE file = OpenShared(L"journal.txt", FILE_APPEND_DATA, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return;
    char text[128];
    StringCchPrintfA(text, ARRAYSIZE(text), "%s\n", line);
    DWORD written;
    WriteFile(file, text, lstrlenA(text), &written, nullptr);
    CloseHandle(file);
}

DWORD SimTakeKey()
{
    QueueLock lock;
    HANDLE file = OpenShared(L"keys.bin", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    BYTE codes[256];
    DWORD count = 0;
    DWORD code = 0;
    if (ReadFile(file, codes, sizeof(codes), &count, nullptr) && count > 0) {
        code = codes[0];
        DWORD written;
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        WriteFile(file, codes + 1, count - 1, &written, nullptr);
        SetEndOfFile(file);
    }
    CloseHandle(file);
    return code;
}

bool SimPressKeys(const BYTE *codes, DWORD count)
{
    QueueLock lock;
    HANDLE file = OpenShared(L"keys.bin", FILE_APPEND_DATA, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, codes, count, &written, nullptr);
    CloseHandle(file);
    return ok && written == count;
}

void SimReset()
{
    QueueLock lock;
    for (LPCWSTR file : {L"journal.txt", L"keys.bin"}) {
        HANDLE h = OpenShared(file, GENERIC_WRITE, CREATE_ALWAYS);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
}
