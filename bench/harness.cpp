// The benchmark's hands and stopwatch, run under Wine beside the programs.
//
//   benchharness start N EXE TITLE [EXE TITLE]...
//       One round unrecorded to warm up, then N rounds; each round starts
//       every EXE in turn and times until a visible top-level window titled
//       TITLE exists, then posts WM_CLOSE to it and times until the process
//       has ended. Taking turns, the programs share whatever load the machine
//       has. Prints "start:EXE V..." and "close:EXE V..." in milliseconds.
//   benchharness key N EXE TITLE [EXE TITLE]...
//       Notepad behind; one round unrecorded, then N rounds; each round
//       starts every EXE in turn (the palette, the key floor), waits until it
//       is in front and polling, queues the key q with the stand-in driver
//       and times until Notepad's text changes. Prints "key:EXE V..." and
//       "missed:EXE N", the runs that typed nothing (not in the times).
//   benchharness wait TITLE       wait until a window titled TITLE shows
//   benchharness close TITLE      close it and wait until it is gone
//
// Exit code 0 when every run completed, 1 otherwise.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include "simulator.h"

namespace {

const DWORD kTimeoutMs = 10000;
const int kMaxRuns = 200;

LARGE_INTEGER frequency;

LONGLONG Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Ms(LONGLONG from, LONGLONG to) { return double(to - from) * 1000.0 / double(frequency.QuadPart); }

void PrintRow(const char *name, const double *values, int count)
{
    printf("%s", name);
    for (int i = 0; i < count; ++i)
        printf(" %.2f", values[i]);
    printf("\n");
    fflush(stdout);
}

HANDLE Start(const wchar_t *exe, const wchar_t *args)
{
    wchar_t line[2 * MAX_PATH];
    _snwprintf(line, ARRAYSIZE(line), L"\"%ls\"%ls%ls", exe, args ? L" " : L"", args ? args : L"");
    line[ARRAYSIZE(line) - 1] = 0;
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        fprintf(stderr, "benchharness: cannot start %ls (%lu)\n", exe, GetLastError());
        return nullptr;
    }
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// Polls in steps of about a millisecond: the clock, not the step, gives the time.
HWND WaitVisible(const wchar_t *title, const wchar_t *cls = nullptr)
{
    LONGLONG start = Now();
    while (Ms(start, Now()) < kTimeoutMs) {
        HWND w = FindWindowW(cls, title);
        if (w && IsWindowVisible(w))
            return w;
        Sleep(1);
    }
    fprintf(stderr, "benchharness: no window \"%ls\"\n", title);
    return nullptr;
}

bool WaitGone(HWND window)
{
    LONGLONG start = Now();
    while (IsWindow(window)) {
        if (Ms(start, Now()) > kTimeoutMs)
            return false;
        Sleep(1);
    }
    return true;
}

const int kMaxPrograms = 6;
const int kMaxMissed = 5;  // runs of one program that typed nothing; then the rounds end

// One start of EXE: the milliseconds to its visible window and from WM_CLOSE
// to its end; false when either did not come.
bool StartAndCloseOnce(const wchar_t *exe, const wchar_t *title, double *start, double *close)
{
    LONGLONG t0 = Now();
    HANDLE process = Start(exe, nullptr);
    if (!process)
        return false;
    HWND window = WaitVisible(title);
    LONGLONG t1 = Now();
    if (!window) {
        TerminateProcess(process, 1);
        CloseHandle(process);
        return false;
    }
    Sleep(200);  // let it settle: the close is timed on a program at rest
    LONGLONG t2 = Now();
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD wait = WaitForSingleObject(process, kTimeoutMs);
    LONGLONG t3 = Now();
    CloseHandle(process);
    Sleep(100);
    *start = Ms(t0, t1);
    *close = Ms(t2, t3);
    return wait == WAIT_OBJECT_0;
}

struct Program {
    const wchar_t *exe, *title;
};

int StartAndClose(int rounds, const Program *programs, int count)
{
    static double start[kMaxPrograms][kMaxRuns], close[kMaxPrograms][kMaxRuns];
    int done = 0;
    bool ok = true;
    for (int round = -1; ok && round < rounds; ++round) {
        for (int p = 0; ok && p < count; ++p) {
            double s = 0, c = 0;
            ok = StartAndCloseOnce(programs[p].exe, programs[p].title, &s, &c);
            if (ok && round >= 0) {
                start[p][round] = s;
                close[p][round] = c;
            }
        }
        if (ok && round >= 0)
            done = round + 1;
    }
    char name[2 * MAX_PATH];
    for (int p = 0; p < count; ++p) {
        _snprintf(name, sizeof(name), "start:%ls", programs[p].exe);
        name[sizeof(name) - 1] = 0;
        PrintRow(name, start[p], done);
        _snprintf(name, sizeof(name), "close:%ls", programs[p].exe);
        name[sizeof(name) - 1] = 0;
        PrintRow(name, close[p], done);
    }
    return done == rounds ? 0 : 1;
}

HWND NotepadEdit(HANDLE *process)
{
    HWND notepad = FindWindowW(L"Notepad", nullptr);
    if (!notepad) {
        *process = Start(L"notepad.exe", nullptr);
        notepad = WaitVisible(nullptr, L"Notepad");
    }
    return notepad ? FindWindowExW(notepad, nullptr, L"Edit", nullptr) : nullptr;
}

int TextLength(HWND edit)
{
    DWORD_PTR length = 0;
    SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length);
    return static_cast<int>(length);
}

// The palette polls once its device is open: the journal grows.
bool WaitPolling()
{
    wchar_t path[MAX_PATH];
    if (!SimJournalPath(path, ARRAYSIZE(path)))
        return false;
    auto lastWrite = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExW(path, GetFileExInfoStandard, &data);
        return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    };
    ULONGLONG first = lastWrite();
    LONGLONG start = Now();
    while (Ms(start, Now()) < kTimeoutMs) {
        Sleep(20);
        if (lastWrite() != first)
            return true;
    }
    return false;
}

// One key's way: EXE started behind nothing but Notepad, in front and
// polling, then the key q; the milliseconds until Notepad has text, or a
// negative value when the run did not complete.
double KeyOnce(HWND edit, const wchar_t *exe, const wchar_t *title)
{
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    HANDLE process = Start(exe, nullptr);
    if (!process)
        return -1;
    HWND window = WaitVisible(title);
    LONGLONG since = Now();
    while (window && GetForegroundWindow() != window && Ms(since, Now()) < kTimeoutMs)
        Sleep(1);
    if (!window || GetForegroundWindow() != window || !WaitPolling()) {
        fprintf(stderr, "benchharness: %ls is not in front and polling\n", exe);
        TerminateProcess(process, 1);
        CloseHandle(process);
        return -1;
    }
    Sleep(100);
    const BYTE q = 'q';
    SimPressKeys(&q, 1);
    LONGLONG t0 = Now();
    bool typed = false;
    while (!(typed = TextLength(edit) > 0) && Ms(t0, Now()) < kTimeoutMs)
        Sleep(1);
    LONGLONG t1 = Now();
    DWORD wait = WaitForSingleObject(process, kTimeoutMs);
    if (!typed)
        fprintf(stderr, "benchharness: %ls typed nothing into Notepad\n", exe);
    if (wait != WAIT_OBJECT_0) {
        fprintf(stderr, "benchharness: %ls did not end\n", exe);
        TerminateProcess(process, 1);
    }
    CloseHandle(process);
    Sleep(100);
    return typed && wait == WAIT_OBJECT_0 ? Ms(t0, t1) : -1;
}

int KeyToNotepad(int rounds, const Program *programs, int count)
{
    static double key[kMaxPrograms][kMaxRuns];
    HANDLE notepadProcess = nullptr;
    HWND edit = NotepadEdit(&notepadProcess);
    if (!edit) {
        fprintf(stderr, "benchharness: no Notepad\n");
        return 1;
    }
    // A run that types nothing is counted and the rounds go on: a lost key is
    // a row of its own (goal: none), and the times stay those of the others.
    static int done[kMaxPrograms], missed[kMaxPrograms];
    bool ok = true;
    for (int round = -1; ok && round < rounds; ++round) {
        for (int p = 0; ok && p < count; ++p) {
            double ms = KeyOnce(edit, programs[p].exe, programs[p].title);
            if (ms < 0)
                ok = ++missed[p] <= kMaxMissed;
            else if (round >= 0)
                key[p][done[p]++] = ms;
        }
    }
    char name[2 * MAX_PATH];
    bool complete = true;
    for (int p = 0; p < count; ++p) {
        _snprintf(name, sizeof(name), "key:%ls", programs[p].exe);
        name[sizeof(name) - 1] = 0;
        PrintRow(name, key[p], done[p]);
        printf("missed:%ls %d\n", programs[p].exe, missed[p]);
        complete = complete && done[p] == rounds;
    }
    if (notepadProcess) {
        PostMessageW(GetParent(edit), WM_CLOSE, 0, 0);
        WaitForSingleObject(notepadProcess, kTimeoutMs);
        CloseHandle(notepadProcess);
    }
    return complete ? 0 : 1;
}

int Usage()
{
    fputs("usage: benchharness start|key N EXE TITLE [EXE TITLE]... | wait TITLE | close TITLE\n", stderr);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    QueryPerformanceFrequency(&frequency);
    bool start = argc >= 2 && !wcscmp(argv[1], L"start"), key = argc >= 2 && !wcscmp(argv[1], L"key");
    if ((start || key) && argc >= 5 && argc % 2 == 1 && (argc - 3) / 2 <= kMaxPrograms) {
        int runs = _wtoi(argv[2]);
        Program programs[kMaxPrograms];
        int count = 0;
        for (int i = 3; i + 1 < argc; i += 2)
            programs[count++] = {argv[i], argv[i + 1]};
        if (runs <= 0 || runs > kMaxRuns)
            return Usage();
        return start ? StartAndClose(runs, programs, count) : KeyToNotepad(runs, programs, count);
    }
    if (argc == 3 && !wcscmp(argv[1], L"wait"))
        return WaitVisible(argv[2]) ? 0 : 1;
    if (argc == 3 && !wcscmp(argv[1], L"close")) {
        HWND w = FindWindowW(nullptr, argv[2]);
        if (!w)
            return 1;
        PostMessageW(w, WM_CLOSE, 0, 0);
        return WaitGone(w) ? 0 : 1;
    }
    return Usage();
}
