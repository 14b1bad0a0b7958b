// The simulator's files, kept open by each process that uses them.
//
// A run of identical journal lines is folded as it is written: the last line
// of the file reads "LINE" or "LINE xN" and a repeat rewrites its count in
// place, so a palette that polls without a key adds nothing to the file.
// The files stay plain files in the Windows folder: anything may empty them,
// and every write looks at the file as it is.
#include "simulator.h"
#include <strsafe.h>
#include <string.h>
#include <initializer_list>

namespace {

const int kLineUnits = 160;  // a journal line with its count and newline

bool SimPath(LPCWSTR file, wchar_t *path, size_t units)
{
    wchar_t dir[MAX_PATH];
    if (!GetWindowsDirectoryW(dir, ARRAYSIZE(dir)))
        return false;
    StringCchCatW(dir, ARRAYSIZE(dir), L"\\PelorinSim");
    CreateDirectoryW(dir, nullptr);
    return SUCCEEDED(StringCchPrintfW(path, units, L"%s\\%s", dir, file));
}

HANDLE OpenShared(LPCWSTR file, DWORD access, DWORD disposition)
{
    wchar_t path[MAX_PATH];
    if (!SimPath(file, path, ARRAYSIZE(path)))
        return INVALID_HANDLE_VALUE;
    return CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Opened on first use and kept for the life of the process.
HANDLE journalFile = INVALID_HANDLE_VALUE;
HANDLE keysFile = INVALID_HANDLE_VALUE;

HANDLE Kept(HANDLE *file, LPCWSTR name)
{
    if (*file == INVALID_HANDLE_VALUE)
        *file = OpenShared(name, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    return *file;
}

// Serialises the simulator's files between processes: a word in a shared
// section, taken without a trip to the wineserver on every poll. A holder
// that died is overtaken.
struct SharedLock {
    volatile LONG owner;  // process id, 0 when free
};

SharedLock *Lock()
{
    static SharedLock *lock;
    if (!lock) {
        HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedLock),
                                            L"PelorinSimLock");
        if (section)
            lock = static_cast<SharedLock *>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, sizeof(SharedLock)));
    }
    return lock;
}

bool OwnerGone(LONG owner)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(owner));
    if (!process)
        return true;
    bool gone = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return gone;
}

class FilesLock {
public:
    FilesLock() : lock_(Lock())
    {
        if (!lock_)
            return;
        LONG self = static_cast<LONG>(GetCurrentProcessId());
        for (int spins = 0;; ++spins) {
            LONG owner = InterlockedCompareExchange(&lock_->owner, self, 0);
            if (owner == 0 || owner == self)
                break;
            if (spins % 100 == 99 && OwnerGone(owner)
                && InterlockedCompareExchange(&lock_->owner, self, owner) == owner)
                break;
            Sleep(spins < 10 ? 0 : 1);
        }
    }
    ~FilesLock()
    {
        if (lock_)
            InterlockedExchange(&lock_->owner, 0);
    }

private:
    SharedLock *lock_;
};

// Reads and writes at the file pointer, not with an OVERLAPPED offset: a call
// with an OVERLAPPED also queues its completion, one more trip to the
// wineserver on every poll.
bool Seek(HANDLE file, LONGLONG offset)
{
    LARGE_INTEGER at;
    at.QuadPart = offset;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
}

bool ReadAt(HANDLE file, LONGLONG offset, void *buffer, DWORD size, DWORD *got)
{
    return Seek(file, offset) && ReadFile(file, buffer, size, got, nullptr);
}

bool WriteAt(HANDLE file, LONGLONG offset, const void *data, DWORD size)
{
    DWORD written = 0;
    return Seek(file, offset) && WriteFile(file, data, size, &written, nullptr) && written == size;
}

}  // namespace

bool SimJournalPath(wchar_t *path, size_t units) { return SimPath(L"journal.txt", path, units); }

void SimSplitFolded(const char *line, size_t *baseLength, unsigned long *count)
{
    size_t length = lstrlenA(line), i = length;
    while (i > 0 && line[i - 1] >= '0' && line[i - 1] <= '9')
        --i;
    unsigned long n = 0;
    bool folded = i < length && length - i <= 9 && i >= 2 && line[i - 1] == 'x' && line[i - 2] == ' ';
    for (size_t d = i; folded && d < length; ++d)
        n = n * 10 + (line[d] - '0');
    if (folded && n >= 2) {
        *baseLength = i - 2;
        *count = n;
    } else {
        *baseLength = length;
        *count = 1;
    }
}

void SimAppendJournal(const char *line)
{
    FilesLock lock;
    HANDLE file = Kept(&journalFile, L"journal.txt");
    LARGE_INTEGER size;
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size))
        return;
    // The file's last line, if it is this line (perhaps with a count), is
    // rewritten with the count one higher.
    char tail[kLineUnits + 1];
    DWORD got = 0;
    LONGLONG from = size.QuadPart > kLineUnits ? size.QuadPart - kLineUnits : 0;
    if (size.QuadPart > 0 && ReadAt(file, from, tail, kLineUnits, &got) && got > 0 && tail[got - 1] == '\n') {
        tail[got - 1] = 0;
        char *last = tail + got - 1;
        while (last > tail && last[-1] != '\n')
            --last;
        if (last > tail || from == 0) {
            size_t baseLength;
            unsigned long count;
            SimSplitFolded(last, &baseLength, &count);
            if (baseLength == static_cast<size_t>(lstrlenA(line)) && memcmp(last, line, baseLength) == 0) {
                char text[kLineUnits];
                StringCchPrintfA(text, ARRAYSIZE(text), "%s x%lu\n", line, count + 1);
                WriteAt(file, from + (last - tail), text, lstrlenA(text));
                return;
            }
        }
    }
    char text[kLineUnits];
    StringCchPrintfA(text, ARRAYSIZE(text), "%s\n", line);
    WriteAt(file, size.QuadPart, text, lstrlenA(text));
}

DWORD SimTakeKey()
{
    HANDLE file = Kept(&keysFile, L"keys.bin");
    LARGE_INTEGER size;
    // Most polls find no key: that look takes no lock.
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size) || size.QuadPart == 0)
        return 0;
    FilesLock lock;
    BYTE codes[256];
    DWORD count = 0;
    DWORD code = 0;
    if (ReadAt(file, 0, codes, sizeof(codes), &count) && count > 0) {
        code = codes[0];
        if (count > 1)
            WriteAt(file, 0, codes + 1, count - 1);
        SetFilePointer(file, static_cast<LONG>(count - 1), nullptr, FILE_BEGIN);  // at most 255
        SetEndOfFile(file);
    }
    return code;
}

bool SimPressKeys(const BYTE *codes, DWORD count)
{
    FilesLock lock;
    HANDLE file = Kept(&keysFile, L"keys.bin");
    LARGE_INTEGER size;
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size))
        return false;
    return WriteAt(file, size.QuadPart, codes, count);
}

void SimReset()
{
    FilesLock lock;
    for (HANDLE file : {Kept(&journalFile, L"journal.txt"), Kept(&keysFile, L"keys.bin")}) {
        if (file != INVALID_HANDLE_VALUE) {
            SetFilePointer(file, 0, nullptr, FILE_BEGIN);
            SetEndOfFile(file);
        }
    }
}

void SimClose()
{
    for (HANDLE *kept : {&journalFile, &keysFile}) {
        if (*kept != INVALID_HANDLE_VALUE)
            CloseHandle(*kept);
        *kept = INVALID_HANDLE_VALUE;
    }
}
