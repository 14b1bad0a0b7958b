// Shared test support: a clean system state per test, the stand-in driver's
// journal, running the built programs, and finding and answering windows.
#ifndef TESTS_SUPPORT_TESTSUPPORT_H
#define TESTS_SUPPORT_TESTSUPPORT_H

#include <windows.h>
#include <string>
#include <vector>

// The folder of the built programs (build/bin), with a trailing backslash.
std::wstring BinDir();
// The temporary folder with `name` appended (with a trailing backslash when
// `name` is empty).
std::wstring TempPath(const wchar_t *name = L"");

// Removes the system's keys (settings, built-in, install), every active entry
// of "PLN1:", the driver simulator's journal and key queue, and any program
// of the system still running. Each test starts from a device just installed.
void ResetSystemState();

// Writes the driver's built-in key as the driver link would.
void WriteTestBuiltInKey(const wchar_t *dll = L"Pelorin.dll");
// Number of active entries whose "Name" is "PLN1:".
int CountActiveKeyboardEntries();

// Lines the stand-in driver journaled, oldest first, not folded.
std::vector<std::string> DriverJournal();
// Only the IOCTL lines.
std::vector<std::string> DriverControlCalls();

// Registry helpers; false / empty when missing.
bool RegistryKeyExists(HKEY root, const wchar_t *path);
bool ReadRegistryDword(HKEY root, const wchar_t *path, const wchar_t *name, DWORD *value, DWORD *type = nullptr);
bool ReadRegistryBytes(HKEY root, const wchar_t *path, const wchar_t *name, std::vector<BYTE> *data,
                       DWORD *type = nullptr);
void WriteRegistryDword(HKEY root, const wchar_t *path, const wchar_t *name, DWORD value);
void WriteRegistryString(HKEY root, const wchar_t *path, const wchar_t *name, const std::wstring &value);
void DeleteRegistryKey(HKEY root, const wchar_t *path);
void DeleteRegistryValue(HKEY root, const wchar_t *path, const wchar_t *name);

// A started program.
struct Program {
    HANDLE process = nullptr;
    DWORD id = 0;
};
// Starts build/bin/NAME (or a full path) with arguments.
// DESKTOP, when given, is the window station's desktop the program runs on.
// A character no test types, sent through the system's input behind whatever
// was typed before it: once it arrives, everything before it has.
const wchar_t kSettleMarker = 0x2063;
void TypeSettleMarker();

Program StartProgram(const std::wstring &name, const std::wstring &args = L"", const wchar_t *desktop = nullptr);
// Waits for the program; its exit code, or STILL_ACTIVE after the timeout.
DWORD WaitProgram(Program &program, DWORD timeoutMs = 20000);
// Starts, waits, and returns the exit code; output (stdout) when asked.
DWORD RunProgram(const std::wstring &name, const std::wstring &args = L"", std::string *output = nullptr,
                 DWORD timeoutMs = 20000);
void KillProgram(Program &program);
// Stops every thread of a running program, as a program that hangs would
// stand, and lets it go on again; false when the program cannot be stopped.
bool SuspendProgram(const Program &program);
bool ResumeProgram(const Program &program);

// Polls until a visible top-level window with this title (and class, when
// given) exists, or the timeout passes.
HWND WaitForWindow(const wchar_t *title, DWORD timeoutMs = 10000, const wchar_t *cls = nullptr);
bool WaitForWindowGone(HWND window, DWORD timeoutMs = 10000);
// Runs this thread's messages while waiting, so its own windows stay live.
void PumpMessages(DWORD ms);
// Polls cond while pumping messages; true once it holds.
template <class F>
bool WaitUntil(F cond, DWORD timeoutMs = 10000)
{
    DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        PumpMessages(10);
    }
    return true;
}

// A message box of any process: its text (control 0xFFFF), then OK pressed.
// Empty when no box with the caption appeared in time.
std::wstring AnswerMessageBox(const wchar_t *caption, DWORD timeoutMs = 10000);

// Pixels of about this colour (text edges are smoothed) where the window is
// on the screen: what the user sees, read back through GDI.
int CountScreenPixels(HWND window, COLORREF colour);

std::string Narrow(const std::wstring &text);

// A keyboard setting of the settings key, read back as a REG_DWORD.
DWORD StoredSetting(const wchar_t *name);

// A dialog of this process or another, driven through its controls as a
// user would.
struct DialogDriver {
    HWND dialog = nullptr;

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    // A list choice, with the notification the list sends its dialog.
    void Choose(int comboId, int index) const;
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    int Selection(int comboId) const { return static_cast<int>(SendMessageW(Item(comboId), CB_GETCURSEL, 0, 0)); }
};

// A cursor over the stand-in driver's control calls.
struct DriverJournalCursor {
    size_t driverSeen = 0;

    // The control calls since the last look.
    std::vector<std::string> NewDriverCalls();
};

// A tap posted to the middle of a toolbar's button for this command, where
// the bar says the button is, to the window there; false when the bar has no
// such button.
bool TapToolbarButton(HWND bar, int command);

// The shell's menu bar that serves this window, of any process: a visible
// top-level window of the bar's class that the window owns; null when none.
HWND MenuBarOf(HWND window);

// The platform's sound settings page: its click for hardware buttons turned
// on (the registry shows it), then the page closed.
void TurnOnHardwareButtonClick(HWND page);

#endif
