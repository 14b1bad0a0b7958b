// plnkbd: the keyboard simulator's command line.
//   plnkbd press KEY...   queue key presses (a letter a-z, or a code 1-126)
//   plnkbd journal        print the calls the driver received, oldest first;
//                         a run of identical lines is folded as "LINE xN"
//   plnkbd reset          empty the journal and the key queue
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>
#include <strsafe.h>
#include "simulator.h"

namespace {

int Usage()
{
    fputs("usage: plnkbd press KEY... | journal | reset\n", stderr);
    return 2;
}

// A key argument: one letter a-z, or a decimal code from 1 to 126. 0 when bad.
BYTE ParseKey(const wchar_t *arg)
{
    if (arg[0] >= L'a' && arg[0] <= L'z' && arg[1] == 0)
        return static_cast<BYTE>(arg[0]);
    if (!arg[0] || wcslen(arg) > 3)
        return 0;
    int code = 0;
    for (const wchar_t *p = arg; *p; ++p) {
        if (*p < L'0' || *p > L'9')
            return 0;
        code = code * 10 + (*p - L'0');
    }
    return code >= 1 && code <= 126 ? static_cast<BYTE>(code) : 0;
}

int Press(int argc, wchar_t **argv)
{
    BYTE codes[256];
    DWORD count = 0;
    for (int i = 2; i < argc; ++i) {
        BYTE code = ParseKey(argv[i]);
        if (!code) {
            fwprintf(stderr, L"plnkbd: not a key: %ls\n", argv[i]);
            return 2;
        }
        if (count < sizeof(codes))
            codes[count++] = code;
    }
    if (!count)
        return Usage();
    return SimPressKeys(codes, count) ? 0 : 1;
}

void PrintFolded(const char *line, unsigned long count)
{
    if (count > 1)
        printf("%s x%lu\n", line, count);
    else if (count == 1)
        printf("%s\n", line);
}

// The file already folds the runs it was written with; a run that continues
// across lines (say, written before and after a reset of the count) is
// joined here, so that the output is one line per run either way.
int Journal()
{
    wchar_t path[MAX_PATH];
    if (!SimJournalPath(path, ARRAYSIZE(path)))
        return 1;
    FILE *file = _wfopen(path, L"rb");
    if (!file)
        return 0;  // nothing received yet
    char buffer[256], previous[256] = "";
    unsigned long count = 0;
    while (fgets(buffer, sizeof(buffer), file)) {
        buffer[strcspn(buffer, "\r\n")] = 0;
        size_t baseLength;
        unsigned long n;
        SimSplitFolded(buffer, &baseLength, &n);
        buffer[baseLength] = 0;
        if (count && !strcmp(previous, buffer)) {
            count += n;
            continue;
        }
        PrintFolded(previous, count);
        StringCchCopyA(previous, ARRAYSIZE(previous), buffer);
        count = n;
    }
    PrintFolded(previous, count);
    fclose(file);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    _setmode(_fileno(stdout), _O_BINARY);  // plain "\n" lines for scripts
    if (argc >= 2 && !wcscmp(argv[1], L"press"))
        return Press(argc, argv);
    if (argc == 2 && !wcscmp(argv[1], L"journal"))
        return Journal();
    if (argc == 2 && !wcscmp(argv[1], L"reset")) {
        SimReset();
        return 0;
    }
    return Usage();
}
