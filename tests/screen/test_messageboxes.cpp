// The programs on the device's screen, below the navigation bar. Every
// message box they can show: no wider than the screen, wholly inside the work
// area, with all of its text shown and its icon, or none, beside the text.
// Every full-screen dialog: over the work area above the menu bar, ended by
// the navigation bar's "ok". The programs run on a Wine desktop of the
// device's size of their own, so that the tests' large screen stays as it is.
#define CEPLATFORM_WIN32_CALLS
#include "testsupport.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <functional>

namespace {

const wchar_t kDesktop[] = L"PelorinDevice";
const wchar_t kDesktopsKey[] = L"Software\\Wine\\Explorer\\Desktops";
const int kScreenWidth = 240, kScreenHeight = 320;
const wchar_t kPanel[] = L"Corvane Pelorin";

// A program of build/bin (or a full path) started on the device's desktop.
Program StartOnDevice(const std::wstring &name, const std::wstring &args = L"")
{
    return StartProgram(name, args, kDesktop);
}

// A copy of the palette whose menu bar's description names a menu it lacks:
// SHCreateMenuBar then fails, as on a device where the menu is missing. The
// description's bytes are found in the file and its menu id changed there.
std::wstring PaletteWithoutMenuBar()
{
    std::wstring original = BinDir() + L"Kadenza.exe", copy = TempPath(L"KadenzaNoMenuBar.exe");
    std::string description;
    if (HMODULE image = LoadLibraryExW(original.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(400), MAKEINTRESOURCEW(10));
        const char *data = found ? static_cast<const char *>(LockResource(LoadResource(image, found))) : nullptr;
        if (data)
            description.assign(data, SizeofResource(image, found));
        FreeLibrary(image);
    }
    HANDLE in = CreateFileW(original.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE || description.size() < 4)
        return L"";
    std::string bytes(GetFileSize(in, nullptr), '\0');
    DWORD got = 0;
    ReadFile(in, &bytes[0], DWORD(bytes.size()), &got, nullptr);
    CloseHandle(in);
    size_t at = bytes.find(description);
    if (at == std::string::npos || bytes.find(description, at + 1) != std::string::npos)
        return L"";
    bytes[at] = bytes[at + 1] = '\xFE';  // menu id 0xFEFE: no such menu
    HANDLE out = CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return L"";
    DWORD written = 0;
    WriteFile(out, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(out);
    return written == bytes.size() ? copy : L"";
}

struct Case {
    const char *name;
    const wchar_t *caption;
    const wchar_t *text;
    bool icon;  // shows an icon beside its text
    // Starts what shows the box; the programs it started, to end afterwards.
    std::function<std::vector<Program>()> provoke;
};

void PrintTo(const Case &box, std::ostream *out) { *out << box.name; }

// The device's screen with its navigation bar, for a table of rows.
template <class Row>
class DeviceScreen : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override
    {
        ResetSystemState();
        // The device's screen: a desktop of its size, for this test only.
        std::wstring size = std::to_wstring(kScreenWidth) + L"x" + std::to_wstring(kScreenHeight);
        WriteRegistryString(HKEY_CURRENT_USER, kDesktopsKey, kDesktop, size);
        previousDesktop = GetThreadDesktop(GetCurrentThreadId());
        device = CreateDesktopW(kDesktop, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ASSERT_NE(device, nullptr);
        // This thread looks at the device's windows (it has none of its own).
        ASSERT_TRUE(SetThreadDesktop(device));
        programs.push_back(StartOnDevice(L"navbar.exe"));
        navBar = WaitForWindow(L"Navigation bar", 20000);
        ASSERT_NE(navBar, nullptr);
    }

    void TearDown() override
    {
        if (navBar)
            PostMessageW(navBar, WM_CLOSE, 0, 0);
        for (Program &program : programs)
            if (WaitProgram(program, 5000) == STILL_ACTIVE)
                KillProgram(program);
        ResetSystemState();
        // The desktop's own process ends with its last window: wait for it,
        // so that the next test finds the large screen again.
        DWORD explorer = 0;
        if (device)
            GetWindowThreadProcessId(GetDesktopWindow(), &explorer);
        if (previousDesktop)
            SetThreadDesktop(previousDesktop);
        if (device)
            CloseDesktop(device);
        if (HANDLE process = explorer ? OpenProcess(SYNCHRONIZE, FALSE, explorer) : nullptr) {
            EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0) << "the device's desktop stays";
            CloseHandle(process);
        }
        DeleteRegistryValue(HKEY_CURRENT_USER, kDesktopsKey, kDesktop);
        DeleteFileW(TempPath(L"KadenzaNoMenuBar.exe").c_str());
    }

    HDESK previousDesktop = nullptr, device = nullptr;
    HWND navBar = nullptr;
    std::vector<Program> programs;
};

class MessageBoxes : public DeviceScreen<Case> {};

// The box's icon: a static control of the icon kind, or null.
HWND IconIn(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(child, cls, ARRAYSIZE(cls));
        if (lstrcmpiW(cls, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return child;
    }
    return nullptr;
}

// The lines of the text as a reader wraps it at word boundaries into a width,
// in the system's message font; false when a word alone is wider.
bool WrapText(const std::wstring &text, int width, int *lines, int *lineHeight)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    *lineHeight = tm.tmHeight;
    auto extent = [&](const std::wstring &s) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, s.c_str(), int(s.size()), &size);
        return int(size.cx);
    };
    bool fits = true;
    *lines = 0;
    std::wstring line;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find(L' ', at);
        std::wstring word = text.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        if (extent(word) > width)
            fits = false;
        std::wstring longer = line.empty() ? word : line + L" " + word;
        if (!line.empty() && extent(longer) > width) {
            ++*lines;
            line = word;
        } else {
            line = longer;
        }
        if (end == std::wstring::npos)
            break;
        at = end + 1;
    }
    ++*lines;
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return fits;
}

TEST_P(MessageBoxes, LieWhollyInTheWorkAreaWithAllTheirText)
{
    const Case &box = GetParam();
    RECT screen, bar;
    GetWindowRect(GetDesktopWindow(), &screen);
    ASSERT_EQ(screen.right - screen.left, kScreenWidth);
    ASSERT_EQ(screen.bottom - screen.top, kScreenHeight);
    GetWindowRect(navBar, &bar);
    // The work area: the screen below the navigation bar.
    RECT work = {screen.left, bar.bottom, screen.right, screen.bottom};
    ASSERT_EQ(bar.bottom - bar.top, 26);

    std::vector<Program> started = box.provoke();
    programs.insert(programs.end(), started.begin(), started.end());
    HWND window = WaitForWindow(box.caption, 20000, L"#32770");
    ASSERT_NE(window, nullptr) << box.name;

    RECT r, client, text;
    GetWindowRect(window, &r);
    GetClientRect(window, &client);
    HWND control = GetDlgItem(window, 0xFFFF);
    ASSERT_NE(control, nullptr);
    GetWindowRect(control, &text);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&text), 2);
    wchar_t shown[1024] = {};
    GetWindowTextW(control, shown, ARRAYSIZE(shown));

    EXPECT_LE(r.right - r.left, kScreenWidth) << box.name << ": wider than the screen";
    EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom)
        << box.name << ": the box at (" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom
        << ") is not inside the work area (" << work.left << "," << work.top << ")-(" << work.right << ","
        << work.bottom << ")";
    EXPECT_TRUE(text.left >= 0 && text.top >= 0 && text.right <= client.right && text.bottom <= client.bottom)
        << box.name << ": the text area runs past the box";
    int lines = 0, lineHeight = 0;
    EXPECT_TRUE(WrapText(shown, text.right - text.left, &lines, &lineHeight))
        << box.name << ": a word is wider than the text area";
    EXPECT_LE(lines * lineHeight, text.bottom - text.top)
        << box.name << ": " << lines << " lines of " << lineHeight << " px need more than the "
        << text.bottom - text.top << " px shown";
    EXPECT_EQ(std::wstring(shown), box.text);
    HWND icon = IconIn(window);
    EXPECT_EQ(icon != nullptr, box.icon) << box.name << (box.icon ? ": no icon" : ": an icon it should not have");
    if (icon) {
        RECT place;
        GetWindowRect(icon, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&place), 2);
        EXPECT_TRUE(IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0))
            << box.name << ": the icon is not shown";
        EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right <= text.left && place.bottom <= client.bottom)
            << box.name << ": the icon is not beside the text within the box";
    }

    // Answered as before: its text read, OK pressed.
    EXPECT_EQ(AnswerMessageBox(box.caption), box.text) << box.name;
}

std::vector<Program> ClickSoundWhileThePlatformClickIsOff()
{
    WriteRegistryDword(HKEY_CURRENT_USER, L"ControlPanel\\Volume", L"Key", 0);
    Program panel = StartOnDevice(L"Pelorin.exe");
    HWND dialog = WaitForWindow(kPanel, 20000);
    EXPECT_NE(dialog, nullptr);
    PostMessageW(GetDlgItem(dialog, 1004), BM_CLICK, 0, 0);
    return {panel};
}

std::vector<Program> InstallOverAnEarlierInstallation()
{
    // The installer's record of an earlier installation.
    WriteRegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\Corvane Pelorin", L"InstallDir",
                        TempPath(L"PelorinEarlier"));
    std::wstring cabinet = BinDir() + L"..\\Pelorin.cab";
    return {StartOnDevice(L"ceinstall.exe", L"install \"" + cabinet + L"\" \"" + TempPath(L"PelorinAgain") + L"\"")};
}

std::vector<Program> PaletteWithoutItsMenuBar()
{
    std::wstring palette = PaletteWithoutMenuBar();
    EXPECT_FALSE(palette.empty()) << "no copy of the palette without its menu bar";
    return {StartOnDevice(palette)};
}

INSTANTIATE_TEST_SUITE_P(
    EveryBox, MessageBoxes,
    ::testing::Values(Case{"ClickSoundInfo", L"Info", L"You must Enable sounds for Hardware buttons first!", true,
                           ClickSoundWhileThePlatformClickIsOff},
                      Case{"InstallerRefusal", L"Pelorin Installation",
                           L"Please remove the previously installed Corvane Pelorin first and then run the Setup "
                           L"again.",
                           false, InstallOverAnEarlierInstallation},
                      Case{"MenuBarFailure", L"Error", L"SHCreateMenuBar Failed", false, PaletteWithoutItsMenuBar}),
    [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

// ---- Windows that the navigation bar's "ok" ends ----

const int kMenuBarHeight = 26;
const int kAboutCommand = 57664;  // the control panel's "About" on its menu bar
const int kPaletteAbout = 40003, kPaletteEdit = 401;
const int kAboutName = 1050, kEditOk = 1042, kTwin1 = 1059, kEntryText = 1098;
const wchar_t kPalette[] = L"Kadenza";
const wchar_t kSettingsPath[] = L"Software\\Corvane\\Pelorin";

// A visible top-level window of the program that has this control (dialogs
// without a caption are known by their controls).
HWND WaitTopLevelWith(const Program &program, int control)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", nullptr));) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == program.id && IsWindowVisible(w) && GetDlgItem(w, control)) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        20000);
    return found;
}

// A touch on a window's middle, lifted there.
void Tap(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(window, WM_LBUTTONUP, 0, middle);
}

// The menu bar's place: along the bottom of the screen, full width.
bool InMenuBarPlace(HWND bar)
{
    RECT r, screen;
    GetWindowRect(bar, &r);
    GetWindowRect(GetDesktopWindow(), &screen);
    RECT place = {screen.left, screen.bottom - kMenuBarHeight, screen.right, screen.bottom};
    return EqualRect(&r, &place) != FALSE;
}

// A window of the programs that the navigation bar's "ok" ends: how it is
// brought up, whether it is a full-screen dialog, and what shows afterwards
// that IDOK, and not another way out, ended it.
struct OkWindow {
    const char *name;
    bool fullScreen;
    // Starts the program (added to *programs, last) and brings the window up.
    HWND (*open)(std::vector<Program> *programs);
    // After the window has gone: IDOK's own effect; then the program ends.
    void (*afterOk)(std::vector<Program> *programs);
};

void PrintTo(const OkWindow &row, std::ostream *out) { *out << row.name; }

class OkWindows : public DeviceScreen<OkWindow> {};

HWND StartPalette(std::vector<Program> *programs)
{
    programs->push_back(StartProgram(L"Kadenza.exe", L"", kDesktop));
    return WaitForWindow(kPalette, 20000, kPalette);
}

// A menu command to the palette's window, as its menu bar sends it.
HWND PaletteDialog(std::vector<Program> *programs, int command, int dialogControl)
{
    HWND palette = StartPalette(programs);
    if (!palette)
        return nullptr;
    PostMessageW(palette, WM_COMMAND, command, 0);
    return WaitTopLevelWith(programs->back(), dialogControl);
}

HWND OpenPaletteAbout(std::vector<Program> *programs) { return PaletteDialog(programs, kPaletteAbout, kAboutName); }

HWND OpenPaletteEdit(std::vector<Program> *programs) { return PaletteDialog(programs, kPaletteEdit, kEditOk); }

// The first button's text entry, with a text typed.
HWND OpenTextEntry(std::vector<Program> *programs)
{
    HWND edit = OpenPaletteEdit(programs);
    if (!edit)
        return nullptr;
    PostMessageW(GetDlgItem(edit, kTwin1), BM_CLICK, 0, 0);
    HWND entry = WaitTopLevelWith(programs->back(), kEntryText);
    if (entry)
        SetDlgItemTextW(entry, kEntryText, L"{ok}");
    return entry;
}

void PaletteEnds(std::vector<Program> *programs) { EXPECT_EQ(WaitProgram(programs->back()), 0u) << "the palette ends"; }

void EndPalette(std::vector<Program> *programs)
{
    PostMessageW(FindWindowW(kPalette, kPalette), WM_COMMAND, IDOK, 0);
    PaletteEnds(programs);
}

void PaletteGoesOn(std::vector<Program> *programs)
{
    EXPECT_TRUE(IsWindowEnabled(FindWindowW(kPalette, kPalette))) << "the palette goes on";
    EndPalette(programs);
}

// IDOK saves all 38 texts, 256 bytes each; Cancel saves nothing.
void TextsSaved(std::vector<Program> *programs)
{
    std::vector<BYTE> stored;
    EXPECT_TRUE(ReadRegistryBytes(HKEY_LOCAL_MACHINE, kSettingsPath, L"KZ38", &stored));
    EXPECT_EQ(stored.size(), 256u) << "saved";
    EndPalette(programs);
}

// IDOK takes the typed text into the twin; Cancel leaves it.
void TwinTakesTheText(std::vector<Program> *programs)
{
    HWND edit = WaitTopLevelWith(programs->back(), kEditOk);
    wchar_t twin[32] = {};
    GetDlgItemTextW(edit, kTwin1, twin, ARRAYSIZE(twin));
    EXPECT_STREQ(twin, L"{ok}");
    PostMessageW(edit, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitForWindowGone(edit));
    EndPalette(programs);
}

HWND StartPanel(std::vector<Program> *programs)
{
    programs->push_back(StartProgram(L"Pelorin.exe", L"", kDesktop));
    return WaitForWindow(kPanel, 20000, L"#32770");
}

// A tap on "About", which lies in the menu bar along the bottom of the
// screen; the About box has an empty menu bar of its own there.
HWND OpenPanelAbout(std::vector<Program> *programs)
{
    HWND panel = StartPanel(programs);
    HWND bar = panel ? MenuBarOf(panel) : nullptr;
    if (!bar)
        return nullptr;
    EXPECT_TRUE(InMenuBarPlace(bar)) << "the control panel's menu bar";
    EXPECT_TRUE(TapToolbarButton(bar, kAboutCommand));
    HWND about = WaitForWindow(L"About Corvane Pelorin", 20000, L"#32770");
    HWND aboutBar = about ? MenuBarOf(about) : nullptr;
    EXPECT_TRUE(aboutBar && InMenuBarPlace(aboutBar)) << "the About box's menu bar";
    EXPECT_EQ(SendMessageW(aboutBar, TB_BUTTONCOUNT, 0, 0), 0) << "an empty one";
    return about;
}

void PanelEnds(std::vector<Program> *programs)
{
    EXPECT_EQ(WaitProgram(programs->back()), 0u) << "the control panel ends";
}

void PanelGoesOn(std::vector<Program> *programs)
{
    HWND panel = FindWindowW(L"#32770", kPanel);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(panel) != FALSE; })) << "the settings go on";
    PostMessageW(panel, WM_COMMAND, IDOK, 0);
    PanelEnds(programs);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, OkWindows,
                         ::testing::Values(OkWindow{"PaletteWindow", false, StartPalette, PaletteEnds},
                                           OkWindow{"PaletteAbout", true, OpenPaletteAbout, PaletteGoesOn},
                                           OkWindow{"PaletteEdit", true, OpenPaletteEdit, TextsSaved},
                                           OkWindow{"PaletteTextEntry", true, OpenTextEntry, TwinTakesTheText},
                                           OkWindow{"PanelSettings", true, StartPanel, PanelEnds},
                                           OkWindow{"PanelAbout", true, OpenPanelAbout, PanelGoesOn}),
                         [](const ::testing::TestParamInfo<OkWindow> &info) { return std::string(info.param.name); });

TEST_P(OkWindows, FillTheWorkAreaAboveTheMenuBarAndEndWithTheNavigationBarsOk)
{
    const OkWindow &row = GetParam();
    RECT screen, bar;
    GetWindowRect(GetDesktopWindow(), &screen);
    GetWindowRect(navBar, &bar);
    HWND ok = GetDlgItem(navBar, IDOK);
    ASSERT_NE(ok, nullptr) << "the navigation bar's ok";

    HWND window = row.open(&programs);
    ASSERT_NE(window, nullptr) << row.name;
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; })) << row.name << " in front";

    if (row.fullScreen) {
        // Below the navigation bar, full width, down to the menu bar's place.
        RECT r, expected = {screen.left, bar.bottom, screen.right, screen.bottom - kMenuBarHeight};
        GetWindowRect(window, &r);
        EXPECT_TRUE(EqualRect(&r, &expected))
            << row.name << " at (" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    }
    // The Done button is the navigation bar's: nothing of the kind inside.
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[16] = {};
        GetWindowTextW(child, text, ARRAYSIZE(text));
        EXPECT_STRNE(text, L"ok") << row.name << ": a second ok";
    }

    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(ok) != FALSE; })) << row.name << ": no ok shows";
    Tap(ok);
    EXPECT_TRUE(WaitForWindowGone(window)) << row.name << " stays";
    row.afterOk(&programs);
}

}  // namespace
