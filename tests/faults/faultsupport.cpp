// Helpers of the fault tests; registry work goes to the desktop registry
// directly so that it never shows in a program's own call journal.
#define CEPLATFORM_WIN32_CALLS
#include "faultsupport.h"
#include <psapi.h>
#include <winternl.h>

DWORD KeyboardDriverHandle()
{
    for (int i = 1; i <= 99; ++i) {
        wchar_t path[64];
        wsprintfW(path, L"Drivers\\Active\\%02d", i);
        std::vector<BYTE> name;
        DWORD handle = 0;
        if (ReadRegistryBytes(HKEY_LOCAL_MACHINE, path, L"Name", &name) && name.size() >= 12
            && !memcmp(name.data(), L"PLN1:", 12) && ReadRegistryDword(HKEY_LOCAL_MACHINE, path, L"Hnd", &handle))
            return handle;
    }
    return 0;
}

void WriteRawValue(HKEY root, const wchar_t *path, const wchar_t *name, DWORD type, const std::vector<BYTE> &data)
{
    HKEY key;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    static const BYTE none = 0;
    RegSetValueExW(key, name, 0, type, data.empty() ? &none : data.data(), DWORD(data.size()));
    RegCloseKey(key);
}

std::vector<BYTE> Bytes(const std::wstring &units, bool withZero)
{
    const BYTE *p = reinterpret_cast<const BYTE *>(units.c_str());
    return std::vector<BYTE>(p, p + (units.size() + (withZero ? 1 : 0)) * sizeof(wchar_t));
}

std::vector<HWND> TopLevelWindows(const wchar_t *title, const wchar_t *cls)
{
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, cls, title));)
        if (IsWindowVisible(w))
            found.push_back(w);
    return found;
}

HWND WaitTopLevelOf(DWORD process, const wchar_t *cls, int control, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, cls, nullptr));) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == process && IsWindowVisible(w) && GetDlgItem(w, control)) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text));
    return text;
}

bool Notepad::Start()
{
    wchar_t path[MAX_PATH];
    GetWindowsDirectoryW(path, MAX_PATH);
    program = StartProgram(std::wstring(path) + L"\\notepad.exe");
    window = WaitForWindow(nullptr, 10000, L"Notepad");
    edit = window ? FindWindowExW(window, nullptr, L"Edit", nullptr) : nullptr;
    if (!edit)
        return false;
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"note:"));
    SendMessageW(edit, EM_SETSEL, 5, 5);
    return true;
}

std::wstring Notepad::Text() const { return WindowText(edit); }

std::wstring Notepad::TextWhenSettled() const
{
    SetForegroundWindow(window);
    WaitUntil([&] { return GetForegroundWindow() == window; });
    TypeSettleMarker();
    std::wstring text;
    if (!WaitUntil([&] { return !(text = Text()).empty() && text.back() == kSettleMarker; }))
        return text + L" (the marker never came)";
    text.pop_back();
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(text.size()), static_cast<LPARAM>(text.size()));
    return text;
}

Memory ProgramMemory(const Program &program)
{
    Memory m;
    PROCESS_MEMORY_COUNTERS counters = {sizeof(counters)};
    if (GetProcessMemoryInfo(program.process, &counters, sizeof(counters))) {
        m.resident = counters.WorkingSetSize;
        m.committed = counters.PagefileUsage;
    }
    // The process list carries handle counts that the per-process query lacks.
    ULONG size = 1 << 20;
    std::vector<BYTE> list(size);
    if (NtQuerySystemInformation(SystemProcessInformation, list.data(), size, &size) != 0)
        return m;
    for (size_t at = 0;;) {
        auto *p = reinterpret_cast<SYSTEM_PROCESS_INFORMATION *>(list.data() + at);
        if (reinterpret_cast<ULONG_PTR>(p->UniqueProcessId) == program.id)
            m.handles = p->HandleCount;
        if (!p->NextEntryOffset)
            break;
        at += p->NextEntryOffset;
    }
    return m;
}

bool RefuseSettingsKey()
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Corvane");
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Corvane", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Corvane\\Pelorin", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr)
        == ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    return true;
}

int CountJournal(const std::string &line)
{
    int n = 0;
    for (const std::string &l : DriverJournal())
        n += l == line;
    return n;
}
