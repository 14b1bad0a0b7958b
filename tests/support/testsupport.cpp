// Test support works on the desktop registry and files directly, so that its
// own calls never show in the CE call journal of the code under test.
#define CEPLATFORM_WIN32_CALLS
#include "testsupport.h"
#include <commctrl.h>
#include <tlhelp32.h>
#include <strsafe.h>
#include <gtest/gtest.h>
#include <algorithm>

namespace {

const wchar_t kBuiltIn[] = L"Drivers\\BuiltIn\\Pelorin";

std::wstring SimFile(const wchar_t *name)
{
    wchar_t dir[MAX_PATH];
    GetWindowsDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\PelorinSim\\" + name;
}

void EndSystemPrograms()
{
    const wchar_t *names[] = {L"Pelorin.exe", L"Kadenza.exe", L"PelorinStart.exe",
                              L"ctlpnl.exe",  L"notepad.exe", L"ceinstall.exe"};
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32W entry = {sizeof(entry)};
    for (BOOL ok = Process32FirstW(snapshot, &entry); ok; ok = Process32NextW(snapshot, &entry)) {
        for (const wchar_t *name : names) {
            if (lstrcmpiW(entry.szExeFile, name) || entry.th32ProcessID == GetCurrentProcessId())
                continue;
            if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
                TerminateProcess(p, 1);
                WaitForSingleObject(p, 5000);
                CloseHandle(p);
            }
        }
    }
    CloseHandle(snapshot);
}

}  // namespace

std::string Narrow(const std::wstring &text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring BinDir()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

std::wstring TempPath(const wchar_t *name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

bool RegistryKeyExists(HKEY root, const wchar_t *path)
{
    HKEY key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ReadRegistryBytes(HKEY root, const wchar_t *path, const wchar_t *name, std::vector<BYTE> *data, DWORD *type)
{
    HKEY key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0, t = 0;
    LONG rc = RegQueryValueExW(key, name, nullptr, &t, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        data->assign(size, 0);
        rc = RegQueryValueExW(key, name, nullptr, &t, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    if (type)
        *type = t;
    return rc == ERROR_SUCCESS;
}

bool ReadRegistryDword(HKEY root, const wchar_t *path, const wchar_t *name, DWORD *value, DWORD *type)
{
    std::vector<BYTE> data;
    if (!ReadRegistryBytes(root, path, name, &data, type) || data.size() != sizeof(DWORD))
        return false;
    CopyMemory(value, data.data(), sizeof(DWORD));
    return true;
}

void WriteRegistryDword(HKEY root, const wchar_t *path, const wchar_t *name, DWORD value)
{
    HKEY key;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof(value));
    RegCloseKey(key);
}

void WriteRegistryString(HKEY root, const wchar_t *path, const wchar_t *name, const std::wstring &value)
{
    HKEY key;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void DeleteRegistryKey(HKEY root, const wchar_t *path) { RegDeleteTreeW(root, path); }

void DeleteRegistryValue(HKEY root, const wchar_t *path, const wchar_t *name)
{
    HKEY key;
    if (RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, name);
    RegCloseKey(key);
}

void WriteTestBuiltInKey(const wchar_t *dll)
{
    WriteRegistryString(HKEY_LOCAL_MACHINE, kBuiltIn, L"DLL", dll);
    WriteRegistryString(HKEY_LOCAL_MACHINE, kBuiltIn, L"Prefix", L"PLN");
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kBuiltIn, L"Index", 1);
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kBuiltIn, L"Order", 3);
}

static std::vector<int> ActiveKeyboardEntries()
{
    std::vector<int> found;
    for (int n = 1; n <= 99; ++n) {
        wchar_t path[64];
        StringCchPrintfW(path, 64, L"Drivers\\Active\\%02d", n);
        std::vector<BYTE> data;
        if (ReadRegistryBytes(HKEY_LOCAL_MACHINE, path, L"Name", &data) && data.size() >= 12
            && !lstrcmpiW(reinterpret_cast<const wchar_t *>(data.data()), L"PLN1:"))
            found.push_back(n);
    }
    return found;
}

int CountActiveKeyboardEntries() { return static_cast<int>(ActiveKeyboardEntries().size()); }

void ResetSystemState()
{
    EndSystemPrograms();
    for (int n : ActiveKeyboardEntries()) {
        wchar_t path[64];
        StringCchPrintfW(path, 64, L"Drivers\\Active\\%02d", n);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, path);
    }
    // The vendor's key with it: a test may have made it one that refuses the settings key.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Corvane");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\Corvane Pelorin");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kBuiltIn);
    for (const wchar_t *name : {L"journal.txt", L"keys.bin"}) {
        HANDLE h = CreateFileW(SimFile(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
}

std::vector<std::string> DriverJournal()
{
    std::vector<std::string> lines;
    HANDLE h = CreateFileW(SimFile(L"journal.txt").c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return lines;
    std::string text;
    char buffer[4096];
    DWORD got;
    while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got)
        text.append(buffer, got);
    CloseHandle(h);
    // The driver writes a run of identical lines as one "LINE xN" (N >= 2).
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        size_t x = line.rfind(" x");
        size_t repeats = 1;
        if (x != std::string::npos && x + 2 < line.size() && line.size() - x - 2 <= 9
            && line.find_first_not_of("0123456789", x + 2) == std::string::npos) {
            size_t n = std::stoul(line.substr(x + 2));
            if (n >= 2) {
                repeats = n;
                line.resize(x);
            }
        }
        lines.insert(lines.end(), repeats, line);
    }
    return lines;
}

std::vector<std::string> DriverControlCalls()
{
    std::vector<std::string> calls;
    for (const std::string &line : DriverJournal())
        if (line.rfind("IOCTL_", 0) == 0)
            calls.push_back(line);
    return calls;
}

void TypeSettleMarker()
{
    INPUT keys[2] = {};
    for (INPUT &key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wScan = kSettleMarker;
        key.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

Program StartProgram(const std::wstring &name, const std::wstring &args, const wchar_t *desktop)
{
    Program program;
    std::wstring path = name.find(L'\\') == std::wstring::npos ? BinDir() + name : name;
    std::wstring line = L"\"" + path + L"\"" + (args.empty() ? L"" : L" " + args);
    std::wstring desktopName = desktop ? desktop : L"";
    STARTUPINFOW si = {sizeof(si)};
    si.lpDesktop = desktop ? &desktopName[0] : nullptr;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        program.process = pi.hProcess;
        program.id = pi.dwProcessId;
    }
    return program;
}

DWORD WaitProgram(Program &program, DWORD timeoutMs)
{
    if (!program.process)
        return static_cast<DWORD>(-1);
    DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &program.process, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
        PumpMessages(0);
        if (GetTickCount() - start > timeoutMs)
            return STILL_ACTIVE;
    }
    DWORD code = 0;
    GetExitCodeProcess(program.process, &code);
    CloseHandle(program.process);
    program.process = nullptr;
    return code;
}

void KillProgram(Program &program)
{
    if (!program.process)
        return;
    TerminateProcess(program.process, 1);
    WaitForSingleObject(program.process, 5000);
    CloseHandle(program.process);
    program.process = nullptr;
}

namespace {

// ntdll's NtSuspendProcess or NtResumeProcess on the program.
bool SuspendOrResume(const Program &program, const char *call)
{
    typedef LONG(WINAPI * ProcessCall)(HANDLE);
    auto function = reinterpret_cast<ProcessCall>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), call));
    return program.process && function && function(program.process) == 0;
}

}  // namespace

bool SuspendProgram(const Program &program) { return SuspendOrResume(program, "NtSuspendProcess"); }

bool ResumeProgram(const Program &program) { return SuspendOrResume(program, "NtResumeProcess"); }

DWORD RunProgram(const std::wstring &name, const std::wstring &args, std::string *output, DWORD timeoutMs)
{
    if (!output) {
        Program program = StartProgram(name, args);
        DWORD code = WaitProgram(program, timeoutMs);
        KillProgram(program);
        return code;
    }
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return static_cast<DWORD>(-1);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring path = name.find(L'\\') == std::wstring::npos ? BinDir() + name : name;
    std::wstring line = L"\"" + path + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si = {sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    BOOL ok = CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    DWORD error = GetLastError();
    CloseHandle(writeEnd);
    if (!ok) {
        CloseHandle(readEnd);
        *output += "(CreateProcessW failed: error " + std::to_string(error) + ")";
        return static_cast<DWORD>(-1);
    }
    char buffer[4096];
    DWORD got;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got)
        output->append(buffer, got);
    CloseHandle(readEnd);
    WaitForSingleObject(pi.hProcess, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

void PumpMessages(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (ms)
            Sleep(5);
    } while (GetTickCount() - start < ms);
}

HWND WaitForWindow(const wchar_t *title, DWORD timeoutMs, const wchar_t *cls)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindWindowW(cls, title);
            return found && IsWindowVisible(found);
        },
        timeoutMs);
    return found && IsWindowVisible(found) ? found : nullptr;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    return WaitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

std::wstring AnswerMessageBox(const wchar_t *caption, DWORD timeoutMs)
{
    HWND box = WaitForWindow(caption, timeoutMs, L"#32770");
    if (!box)
        return L"";
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, ARRAYSIZE(text));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitForWindowGone(box, timeoutMs);
    return text;
}

int CountScreenPixels(HWND window, COLORREF colour)
{
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(bi.bmiHeader), w, -h, 1, 32, BI_RGB};
    void *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HDC screen = GetDC(nullptr);
    BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    int count = 0;
    const DWORD *pixel = static_cast<const DWORD *>(bits);
    auto close = [](int a, int b) { return a - b < 64 && b - a < 64; };
    for (int i = 0; i < w * h; ++i)
        count += close(int((pixel[i] >> 16) & 0xFF), GetRValue(colour))
                 && close(int((pixel[i] >> 8) & 0xFF), GetGValue(colour))
                 && close(int(pixel[i] & 0xFF), GetBValue(colour));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return count;
}

DWORD StoredSetting(const wchar_t *name)
{
    DWORD value = 0xDEADBEEF, type = 0;
    EXPECT_TRUE(ReadRegistryDword(HKEY_LOCAL_MACHINE, L"Software\\Corvane\\Pelorin", name, &value, &type))
        << Narrow(name);
    EXPECT_EQ(type, DWORD(REG_DWORD)) << Narrow(name);
    return value;
}

void DialogDriver::Choose(int comboId, int index) const
{
    SendMessageW(Item(comboId), CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(comboId)));
}

std::vector<std::string> DriverJournalCursor::NewDriverCalls()
{
    std::vector<std::string> calls = DriverControlCalls();
    std::vector<std::string> fresh(calls.begin() + std::ptrdiff_t(std::min(driverSeen, calls.size())), calls.end());
    driverSeen = calls.size();
    return fresh;
}

// A button's place on a toolbar, which may be another process's: the
// toolbar writes its answer into memory of its own process.
bool ToolbarButtonRect(HWND bar, int id, RECT *rect)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(bar, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, pid);
    if (!process)
        return false;
    void *remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool found = remote && SendMessageW(bar, TB_GETRECT, id, reinterpret_cast<LPARAM>(remote))
                 && ReadProcessMemory(process, remote, rect, sizeof(RECT), nullptr);
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return found;
}

bool TapToolbarButton(HWND bar, int command)
{
    RECT r = {};
    if (!ToolbarButtonRect(bar, command, &r) || r.right <= r.left || r.bottom <= r.top)
        return false;
    POINT at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    // The button is a window of its own there: it takes the touch.
    HWND target = ChildWindowFromPoint(bar, at);
    if (!target)
        return false;
    MapWindowPoints(bar, target, &at, 1);
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    return true;
}

HWND MenuBarOf(HWND window)
{
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"menu_worker", nullptr));)
        if (GetWindow(w, GW_OWNER) == window && IsWindowVisible(w))
            return w;
    return nullptr;
}

void TurnOnHardwareButtonClick(HWND page)
{
    SendMessageW(GetDlgItem(page, 1000), BM_CLICK, 0, 0);
    DWORD key = 0;
    EXPECT_TRUE(ReadRegistryDword(HKEY_CURRENT_USER, L"ControlPanel\\Volume", L"Key", &key));
    EXPECT_EQ(key, 0x10002u);
    PostMessageW(page, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitForWindowGone(page));
}
