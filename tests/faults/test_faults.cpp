// Faults end to end, with the built programs under Wine: each case ends with
// no crash and no hang, nothing that a user entered is lost, and the outcome
// is clear.
#include <windows.h>
#include <gtest/gtest.h>
#include <cctype>
#include <cstdio>
#include <deque>
#include "faultsupport.h"
#include "systemfacts.h"
#include "registrynames.h"

namespace {

const wchar_t kTitle[] = L"Corvane Pelorin";
using namespace ids;

struct Crowd;
struct TextCase;

class Faults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSystemState();
        WriteTestBuiltInKey();
    }
    void TearDown() override
    {
        for (Program &p : programs)
            KillProgram(p);
        programs.clear();
        KillProgram(notepad.program);
        ResetSystemState();
    }
    Program &Start(const std::wstring &name)
    {
        programs.push_back(StartProgram(name));
        return programs.back();
    }
    // The control panel up, its start-up pushes made.
    HWND StartControlPanel()
    {
        Program &p = Start(L"Pelorin.exe");
        HWND window = WaitTopLevelOf(p.id, L"#32770", kRepeat);
        EXPECT_TRUE(window) << "the control panel opened";
        EXPECT_TRUE(WaitUntil([] { return DriverControlCalls().size() >= 4; })) << "start-up pushes";
        return window;
    }
    // The palette up and in front, its poll running.
    HWND StartPalette()
    {
        Start(L"Kadenza.exe");
        HWND found = WaitForWindow(L"Kadenza", 10000, L"Kadenza");
        EXPECT_TRUE(found) << "the palette opened";
        EXPECT_TRUE(WaitUntil([] { return CountJournal("PLN_Open") > 0; })) << "the palette opened the device";
        return found;
    }
    static HWND PaletteButton(HWND palette, int n)
    {
        HWND dialog = FindWindowExW(palette, nullptr, L"#32770", nullptr);
        return dialog ? GetDlgItem(dialog, kButton1 + n - 1) : nullptr;
    }
    static void Choose(HWND window, int id, int index)
    {
        HWND box = GetDlgItem(window, id);
        SendMessageW(box, CB_SETCURSEL, index, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    }
    static void Click(HWND window, int id) { SendMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0); }
    static DWORD Stored(const wchar_t *name)
    {
        DWORD value = 0xDEADBEEF;
        ReadRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKeyPath, name, &value);
        return value;
    }
    // Enters text for button 1 through Edit and the text entry, then OK.
    void EnterFirstText(const Program &palette, const std::wstring &text)
    {
        HWND bar = WaitTopLevelOf(palette.id, L"menu_worker", kEditMenu);
        ASSERT_TRUE(bar);
        PostMessageW(GetDlgItem(bar, kEditMenu), BM_CLICK, 0, 0);
        HWND edit = WaitTopLevelOf(palette.id, L"#32770", kEditOk);
        ASSERT_TRUE(edit);
        PostMessageW(edit, WM_COMMAND, MAKEWPARAM(kEditFirst, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(edit, kEditFirst)));
        HWND entry = WaitTopLevelOf(palette.id, L"#32770", kEntryText);
        ASSERT_TRUE(entry);
        SendMessageW(GetDlgItem(entry, kEntryText), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        PostMessageW(entry, WM_COMMAND, MAKEWPARAM(kEntryOk, BN_CLICKED), 0);
        ASSERT_TRUE(WaitForWindowGone(entry));
        PostMessageW(edit, WM_COMMAND, MAKEWPARAM(kEditOk, BN_CLICKED), 0);
        ASSERT_TRUE(WaitForWindowGone(edit));
    }
    std::wstring StoredText(const wchar_t *name)
    {
        std::vector<BYTE> data;
        if (!ReadRegistryBytes(HKEY_LOCAL_MACHINE, kSettingsKeyPath, name, &data))
            return L"<missing>";
        return std::wstring(reinterpret_cast<const wchar_t *>(data.data()),
                            wcsnlen(reinterpret_cast<const wchar_t *>(data.data()), data.size() / 2));
    }

    void RunCrowd(const Crowd &crowd, bool oneLoad);
    void RunTextCase(const TextCase &c);

    std::deque<Program> programs;
    Notepad notepad;
};

// One row of a table of faults: a test case of its own, with the fixture's own
// set-up and tear-down, named after the row.
template <typename Row>
class FaultRows : public Faults, public ::testing::WithParamInterface<Row> {};

// A row's name as GoogleTest takes it: its words joined by underscores.
template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row> &info)
{
    std::string name;
    for (const char *c = info.param.name; *c; ++c) {
        if (isalnum(static_cast<unsigned char>(*c)))
            name += *c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return name;
}

// ---- The driver unloaded while a program holds the device ----

struct UnloadCase {
    const char *name;
    bool palette;
};

// Control calls that reached the driver after it was last unloaded.
std::vector<std::string> CallsAfterUnload()
{
    std::vector<std::string> journal = DriverJournal(), calls;
    for (const std::string &line : journal) {
        if (line == "PLN_Deinit")
            calls.clear();
        else if (line.rfind("IOCTL_", 0) == 0)
            calls.push_back(line);
    }
    return calls;
}

class UnloadedDriver : public FaultRows<UnloadCase> {};

TEST_P(UnloadedDriver, DriverUnloadedUnderAnOpenProgram)
{
    const UnloadCase &c = GetParam();
    if (c.palette) {
        ASSERT_TRUE(notepad.Start());
    }
    HWND window = c.palette ? StartPalette() : StartControlPanel();
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitUntil([] { return !DriverControlCalls().empty(); })) << "calls reach the loaded driver";
    DWORD handle = KeyboardDriverHandle();
    ASSERT_NE(handle, 0u);
    ASSERT_TRUE(DeactivateDevice(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handle))));
    ASSERT_EQ(CountActiveKeyboardEntries(), 0);
    EXPECT_EQ(CountJournal("PLN_Deinit"), 1);
    Program &program = programs.back();
    // It answers a message after the unload: it lives on. The palette
    // makes a poll tick of it, whose call on the handle fails.
    auto tick = [&] {
        return SendMessageTimeoutW(window, c.palette ? WM_TIMER : WM_NULL, c.palette ? 666 : 0, 0, SMTO_ABORTIFHUNG,
                                   10000, nullptr)
               != 0;
    };
    ASSERT_TRUE(tick());
    ASSERT_EQ(WaitProgram(program, 0), DWORD(STILL_ACTIVE)) << "survives the unload";

    if (c.palette) {
        // A key pressed now is not captured: the handle reaches no driver.
        std::string out;
        ASSERT_EQ(RunProgram(L"plnkbd.exe", L"press w", &out), 0u) << out;
        SetForegroundWindow(window);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
        for (int i = 0; i < 10; ++i)
            ASSERT_TRUE(tick());
        ASSERT_EQ(WaitProgram(program, 0), DWORD(STILL_ACTIVE)) << "no key reached the palette";
        // Tapping still types.
        PostMessageW(PaletteButton(window, 21), BM_CLICK, 0, 0);  // ":-)"
        EXPECT_EQ(WaitProgram(program), 0u);
        EXPECT_TRUE(WaitUntil([&] { return notepad.Text() == L"note::-)"; })) << Narrow(notepad.Text());
    } else {
        // Every change is still stored and shown.
        Click(window, kDisable);
        Choose(window, kRepeat, 3);
        Choose(window, kDelay, 0);
        Click(window, kCloseSoftKeyboard);
        EXPECT_EQ(Stored(L"STATUS"), 0u);
        EXPECT_EQ(Stored(L"REPEAT"), 3u);
        EXPECT_EQ(Stored(L"DELAY"), 0u);
        EXPECT_EQ(Stored(L"CLOSESK"), 1u);
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(WaitProgram(program), 0u);
    }
    // Polls, the last poll and pushed changes alike fail on the handle.
    EXPECT_EQ(CallsAfterUnload(), std::vector<std::string>());
    // The device can be brought up again.
    EXPECT_EQ(RunProgram(L"PelorinStart.exe"), 0u);
    EXPECT_EQ(CountActiveKeyboardEntries(), 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, UnloadedDriver,
                         ::testing::Values(UnloadCase{"palette", true}, UnloadCase{"control panel", false}),
                         RowName<UnloadCase>);

// ---- Stored values of every wrong type and size ----

struct StoredShape {
    const char *name;
    DWORD type;
    std::vector<BYTE> data;
    bool keyRefused = false;  // no value: the settings key can be neither opened nor created
};

std::vector<StoredShape> WrongSettingShapes()
{
    auto dword = [](DWORD v, size_t size) {
        std::vector<BYTE> d(size, 0);
        memcpy(d.data(), &v, size < 4 ? size : 4);
        return d;
    };
    return {
        {"text", REG_SZ, Bytes(L"1", true)},
        {"one byte", REG_BINARY, {1}},
        {"two bytes", REG_DWORD, dword(1, 2)},
        {"eight bytes", REG_DWORD, dword(1, 8)},
        {"empty", REG_DWORD, {}},
        {"all ones", REG_DWORD, dword(0xFFFFFFFF, 4)},
        {"just above", REG_DWORD, dword(4, 4)},
        {"binary four bytes", REG_BINARY, dword(0x80000000, 4)},
        {"settings key refused", REG_NONE, {}, true},
        {"multi-string", REG_MULTI_SZ, Bytes(std::wstring(L"1\0\0", 3), false)},
    };
}

class WrongSettings : public FaultRows<StoredShape> {};

TEST_P(WrongSettings, ControlPanelRepairsSettingsOfEveryWrongTypeAndSize)
{
    // Every shape is unreadable as a setting or out of its range, so each
    // setting becomes its default, stored and pushed.
    const std::vector<std::string> pushed = {"IOCTL_KBD_SET_STATE 1", "IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD 0",
                                             "IOCTL_KBD_SET_REPEAT_RATE 2", "IOCTL_KBD_SET_REPEAT_DELAY 1"};
    const StoredShape &shape = GetParam();
    if (shape.keyRefused) {
        ASSERT_TRUE(RefuseSettingsKey());
    } else {
        for (const SettingFacts &d : kSettingFacts)
            WriteRawValue(HKEY_LOCAL_MACHINE, kSettingsKeyPath, d.name, shape.type, shape.data);
    }
    HWND window = StartControlPanel();
    ASSERT_TRUE(window);
    // Shown: the defaults.
    const SettingFacts &status = kSettingFacts[0], &repeat = kSettingFacts[1], &delay = kSettingFacts[2],
                       &sound = kSettingFacts[3], &closeSk = kSettingFacts[4];
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(window, kEnable)) == FALSE, status.defaultValue == 1);
    EXPECT_EQ(DWORD(SendMessageW(GetDlgItem(window, kRepeat), CB_GETCURSEL, 0, 0)), repeat.defaultValue);
    EXPECT_EQ(DWORD(SendMessageW(GetDlgItem(window, kDelay), CB_GETCURSEL, 0, 0)), delay.defaultValue);
    EXPECT_EQ(DWORD(SendMessageW(GetDlgItem(window, kClickSound), BM_GETCHECK, 0, 0)), sound.defaultValue);
    EXPECT_EQ(DWORD(SendMessageW(GetDlgItem(window, kCloseSoftKeyboard), BM_GETCHECK, 0, 0)), closeSk.defaultValue);
    // Stored: the defaults, or nothing where there is no key.
    EXPECT_EQ(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSettingsKeyPath), !shape.keyRefused);
    for (const SettingFacts &d : kSettingFacts) {
        if (shape.keyRefused)
            break;
        DWORD value = 0xDEADBEEF, type = 0;
        ASSERT_TRUE(ReadRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKeyPath, d.name, &value, &type)) << Narrow(d.name);
        EXPECT_EQ(type, DWORD(REG_DWORD)) << Narrow(d.name);
        EXPECT_EQ(value, d.defaultValue) << Narrow(d.name);
    }
    EXPECT_EQ(DriverControlCalls(), pushed);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitProgram(programs.back()), 0u);
}

INSTANTIATE_TEST_SUITE_P(Faults, WrongSettings, ::testing::ValuesIn(WrongSettingShapes()), RowName<StoredShape>);

std::vector<StoredShape> WrongTextShapes()
{
    DWORD number = 0x00410042;  // "BA" without a zero
    return {
        {"number", REG_DWORD,
         std::vector<BYTE>(reinterpret_cast<BYTE *>(&number), reinterpret_cast<BYTE *>(&number) + 4)},
        {"odd size", REG_BINARY, {'x', 0, 'y'}},
        {"empty", REG_SZ, {}},
        {"no zero", REG_SZ, Bytes(L"abc", false)},
        {"127 units and a zero", REG_SZ, Bytes(std::wstring(127, L'm'), true)},
        {"128 units, no zero", REG_SZ, Bytes(std::wstring(128, L'n'), false)},
        {"300 units", REG_SZ, Bytes(std::wstring(300, L'o'), true)},
        {"pair across the bound", REG_SZ, Bytes(std::wstring(126, L'p') + L"\U0001F600", true)},
        {"lone low surrogate", REG_SZ,
         Bytes(L"a\xDE00"
               L"b",
               true)},
        {"multi-string", REG_MULTI_SZ, Bytes(std::wstring(L"q\0r\0\0", 5), false)},
        {"settings key refused", REG_NONE, {}, true},
    };
}

class WrongTexts : public FaultRows<StoredShape> {};

TEST_P(WrongTexts, PaletteShowsTextsOfEveryWrongTypeAndSizeWithinTheBound)
{
    const StoredShape &shape = GetParam();
    if (shape.keyRefused) {
        // Nothing to read: the template's captions stay, and nothing is written.
        ASSERT_TRUE(RefuseSettingsKey());
        HWND palette = StartPalette();
        ASSERT_TRUE(palette);
        for (int n = 1; n <= kButtonCount; ++n)
            EXPECT_EQ(WindowText(PaletteButton(palette, n)), kButtons[n - 1].templateCaption) << "button " << n;
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSettingsKeyPath));
        PostMessageW(palette, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(WaitProgram(programs.back()), 0u);
        return;
    }
    // The palette's texts exist; button 2's is malformed.
    for (int n = 1; n <= kButtonCount; ++n) {
        wchar_t name[8];
        wsprintfW(name, L"KZ%d", n);
        WriteRegistryString(HKEY_LOCAL_MACHINE, kSettingsKeyPath, name, L"t");
    }
    WriteRawValue(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"KZ2", shape.type, shape.data);
    std::vector<BYTE> before;
    ASSERT_TRUE(ReadRegistryBytes(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"KZ2", &before));
    HWND palette = StartPalette();
    ASSERT_TRUE(palette);
    std::wstring caption = WindowText(PaletteButton(palette, 2));
    // Shown: a prefix of what is stored, within the 127-unit caption, and
    // never half of a pair.
    std::vector<BYTE> units = before;
    units.resize((units.size() + 1) / 2 * 2, 0);  // a half unit reads with the buffer's zero
    std::wstring stored(reinterpret_cast<const wchar_t *>(units.data()), units.size() / 2);
    stored = stored.substr(0, stored.find(L'\0'));
    EXPECT_LE(caption.size(), 127u);
    EXPECT_EQ(stored.compare(0, caption.size(), caption), 0) << Narrow(caption);
    if (caption.size() < stored.size() && !caption.empty()) {
        EXPECT_FALSE(IS_HIGH_SURROGATE(caption.back())) << "a cut splits no pair";
    }
    EXPECT_EQ(WindowText(PaletteButton(palette, 1)), L"t");
    PostMessageW(palette, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitProgram(programs.back()), 0u);
    // Loading alone writes nothing back.
    std::vector<BYTE> after;
    DWORD type = 0;
    ASSERT_TRUE(ReadRegistryBytes(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"KZ2", &after, &type));
    EXPECT_EQ(type, shape.type);
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(Faults, WrongTexts, ::testing::ValuesIn(WrongTextShapes()), RowName<StoredShape>);

// A malformed unit is kept as it stands, loaded or saved; only a cut at the
// 127-unit bound drops the half of a pair it would split.
struct TextCase {
    const char *name;
    bool save;  // entered and saved, or stored and loaded
    std::wstring text, shown;
};

void Faults::RunTextCase(const TextCase &c)
{
    if (!c.save) {
        for (int n = 1; n <= kButtonCount; ++n) {
            wchar_t name[8];
            wsprintfW(name, L"KZ%d", n);
            WriteRegistryString(HKEY_LOCAL_MACHINE, kSettingsKeyPath, name, n == 1 ? c.text : L"t");
        }
    }
    HWND palette = StartPalette();
    ASSERT_TRUE(palette);
    if (c.save) {
        EnterFirstText(programs.back(), c.text);
    }
    EXPECT_EQ(WindowText(PaletteButton(palette, 1)), c.shown);
    if (c.save) {
        EXPECT_EQ(StoredText(L"KZ1"), c.shown);
    }
    PostMessageW(palette, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitProgram(programs.back()), 0u);
}

class MalformedTexts : public FaultRows<TextCase> {};

TEST_P(MalformedTexts, MalformedTextKeepsEveryUnitUnlessACutSplitsAPair) { RunTextCase(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Faults, MalformedTexts,
                         ::testing::ValuesIn(std::vector<TextCase>{
                             {"stored, lone high inside", false, L"x\xD83Dy", L"x\xD83Dy"},
                             {"stored, lone low", false, L"x\xDE00", L"x\xDE00"},
                             {"stored, pair cut at the bound", false, std::wstring(126, L'p') + L"\U0001F600",
                              std::wstring(126, L'p')},
                             {"saved, lone low", true, L"a\xDC00", L"a\xDC00"},
                             {"saved, pair", true, L"a\U0001F600", L"a\U0001F600"},
                         }),
                         RowName<TextCase>);

class LoneHighSurrogates : public FaultRows<TextCase> {};

TEST_P(LoneHighSurrogates, LoneHighSurrogateIsKeptWhereNoCutSplitsIt) { RunTextCase(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Faults, LoneHighSurrogates,
                         ::testing::ValuesIn(std::vector<TextCase>{
                             {"stored, lone high at the end", false, L"x\xD83D", L"x\xD83D"},
                             {"saved, lone high inside", true,
                              L"a\xD800"
                              L"b",
                              L"a\xD800"
                              L"b"},
                             {"saved, lone high at the end", true, L"a\xD800", L"a\xD800"},
                         }),
                         RowName<TextCase>);

// ---- A burst of keys at once ----

struct Burst {
    const char *name;
    const wchar_t *keys;
};

class Bursts : public FaultRows<Burst> {};

TEST_P(Bursts, BurstOfKeysTypesTheFirstKeysTextOnce)
{
    const Burst &burst = GetParam();
    ASSERT_TRUE(notepad.Start());
    ASSERT_TRUE(StartPalette());
    std::string out;
    ASSERT_EQ(RunProgram(L"plnkbd.exe", std::wstring(L"press ") + burst.keys, &out), 0u) << out;
    EXPECT_EQ(WaitProgram(programs.back()), 0u);
    EXPECT_EQ(notepad.TextWhenSettled(), L"note:~") << "one key's text, once";
    ASSERT_FALSE(DriverControlCalls().empty());
    EXPECT_EQ(DriverControlCalls().back(), "IOCTL_KBD_POLL_PALETTE_KEY 0 -> 0");
    EXPECT_EQ(DriverJournal().back(), "PLN_Close");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, Bursts,
    ::testing::Values(Burst{"two", L"q w"}, Burst{"a row", L"q w e r t y u i o p"},
                      Burst{"with codes",
                            L"q 97 98 99 100 101 102 103 104 105 106 107 108 109 110 111 112 113 114 115 116"},
                      Burst{"quit code after", L"q 15 15 15"}),
    RowName<Burst>);

// ---- Several programs started together ----

struct Crowd {
    const char *name;
    int starters, panels, palettes;
};

// Starts the crowd at once on a device without the driver's built-in key:
// the driver comes up, every window shows, everyone ends cleanly when asked;
// with oneLoad, the driver was loaded exactly once.
void Faults::RunCrowd(const Crowd &crowd, bool oneLoad)
{
    ResetSystemState();  // without the built-in key that SetUp wrote
    if (!crowd.starters && !crowd.panels)
        WriteTestBuiltInKey();  // the palette never writes it
    for (int i = 0; i < crowd.starters; ++i)
        Start(L"PelorinStart.exe");
    for (int i = 0; i < crowd.panels; ++i)
        Start(L"Pelorin.exe");
    for (int i = 0; i < crowd.palettes; ++i)
        Start(L"Kadenza.exe");
    std::vector<DWORD> codes(programs.size(), STILL_ACTIVE);
    auto ended = [&](size_t i, DWORD timeoutMs) {
        if (codes[i] == STILL_ACTIVE)
            codes[i] = WaitProgram(programs[i], timeoutMs);
        return codes[i] != STILL_ACTIVE;
    };
    for (int i = 0; i < crowd.starters; ++i)
        EXPECT_TRUE(ended(i, 20000));
    if (crowd.palettes) {
        ASSERT_TRUE(WaitForWindow(L"Kadenza", 10000, L"Kadenza"));
        // The later palettes hand over to the first and end.
        EXPECT_TRUE(WaitUntil([&] {
            int running = 0;
            for (size_t i = crowd.starters + crowd.panels; i < programs.size(); ++i)
                running += !ended(i, 0);
            return running == 1;
        }));
        EXPECT_EQ(TopLevelWindows(L"Kadenza", L"Kadenza").size(), 1u);
    }
    if (crowd.panels) {
        EXPECT_TRUE(WaitUntil([&] { return int(TopLevelWindows(kTitle).size()) == crowd.panels; }));
    }
    EXPECT_TRUE(WaitUntil([] { return CountActiveKeyboardEntries() >= 1; }));
    // Every program still running has come through its driver link: each
    // has opened the device once the driver was up.
    const int opens = crowd.panels + (crowd.palettes ? 1 : 0);
    EXPECT_TRUE(WaitUntil([&] { return CountJournal("PLN_Open") >= opens; })) << opens << " opens";
    if (oneLoad) {
        EXPECT_EQ(CountActiveKeyboardEntries(), 1);
        EXPECT_EQ(CountJournal("PLN_Init"), 1) << "the driver loaded once";
    }
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath));
    // Everyone ends cleanly when asked.
    for (HWND w : TopLevelWindows(kTitle))
        PostMessageW(w, WM_COMMAND, IDOK, 0);
    for (HWND w : TopLevelWindows(L"Kadenza", L"Kadenza"))
        PostMessageW(w, WM_COMMAND, IDOK, 0);
    for (size_t i = 0; i < programs.size(); ++i) {
        EXPECT_TRUE(ended(i, 20000));
        EXPECT_EQ(codes[i], 0u) << "program " << i;
    }
    for (const SettingFacts &s : kSettingFacts) {
        if (crowd.panels) {
            EXPECT_LE(Stored(s.name), s.maxValue) << Narrow(s.name);
        }
    }
}

class CrowdsThatLoadOnce : public FaultRows<Crowd> {};

TEST_P(CrowdsThatLoadOnce, StartersAndControlPanelsStartedTogetherLoadTheDriverOnceAndAllEndCleanly)
{
    RunCrowd(GetParam(), true);
}

INSTANTIATE_TEST_SUITE_P(Faults, CrowdsThatLoadOnce,
                         ::testing::Values(Crowd{"starters", 6, 0, 0}, Crowd{"control panels", 0, 3, 0},
                                           Crowd{"starters and control panels", 3, 2, 0}),
                         RowName<Crowd>);

class CrowdsWithPalettes : public FaultRows<Crowd> {};

TEST_P(CrowdsWithPalettes, PalettesStartedTogetherLeaveOnePalette) { RunCrowd(GetParam(), false); }

INSTANTIATE_TEST_SUITE_P(Faults, CrowdsWithPalettes,
                         ::testing::Values(Crowd{"palettes", 0, 0, 4}, Crowd{"all at once", 3, 2, 3}), RowName<Crowd>);

// ---- The installer run again and again ----

class InstallerFaults : public Faults {
protected:
    void SetUp() override
    {
        dir = TempPath(L"Corvane Pelorin Faults");
        other = TempPath(L"Corvane Pelorin Faults 2");
        CleanUp();
    }
    void TearDown() override
    {
        Faults::TearDown();
        CleanUp();
    }
    void CleanUp()
    {
        ResetSystemState();
        for (const std::wstring &folder : {dir, other}) {
            for (const wchar_t *name : {L"Pelorin.exe", L"Kadenza.exe", L"PelorinStart.exe"})
                DeleteFileW((folder + L"\\" + name).c_str());
            RemoveDirectoryW(folder.c_str());
        }
    }

public:
    // The built package, installed into folder as if the user picked it.
    DWORD Install(const std::wstring &folder)
    {
        return RunProgram(L"ceinstall.exe", L"install \"" + BinDir() + L"..\\Pelorin.cab\" \"" + folder + L"\"");
    }
    // The control panel that an installation started, closed with OK.
    bool CloseStartedControlPanel()
    {
        HWND window = WaitForWindow(kTitle, 20000);
        if (!window)
            return false;
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        return WaitForWindowGone(window);
    }
    // The control panel that an installation started, its window in *window;
    // no process when none appeared.
    Program &StartedControlPanel(HWND *window)
    {
        *window = WaitForWindow(kTitle, 20000);
        DWORD id = 0;
        GetWindowThreadProcessId(*window, &id);
        const DWORD access = SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | PROCESS_SUSPEND_RESUME;
        programs.push_back({*window ? OpenProcess(access, FALSE, id) : nullptr, id});
        return programs.back();
    }
    bool Installed(const std::wstring &folder)
    {
        std::vector<BYTE> data;
        return ReadRegistryBytes(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallDirValue, &data)
               && std::wstring(reinterpret_cast<const wchar_t *>(data.data())) == folder
               && GetFileAttributesW((folder + L"\\Pelorin.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::wstring dir, other;
};

struct InstallerRun {
    const char *name;
    std::function<void(InstallerFaults &)> run;
};

class InstallerRuns : public InstallerFaults, public ::testing::WithParamInterface<InstallerRun> {
public:
    static std::vector<InstallerRun> Rows()
    {
        return {
            {"remove twice",
             [](InstallerFaults &t) {
                 ASSERT_EQ(t.Install(t.dir), 0u);
                 ASSERT_TRUE(t.CloseStartedControlPanel());
                 WriteRegistryString(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"KZ1", L"~");
                 EXPECT_EQ(RunProgram(L"ceinstall.exe", L"remove"), 0u);
                 EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSettingsKeyPath));
                 EXPECT_EQ(CountActiveKeyboardEntries(), 0);
                 EXPECT_EQ(RunProgram(L"ceinstall.exe", L"remove"), 1u) << "nothing left to remove";
                 EXPECT_EQ(CountJournal("PLN_Deinit"), 1) << "unloaded once";
                 EXPECT_EQ(GetFileAttributesW(t.dir.c_str()), INVALID_FILE_ATTRIBUTES);
                 // A fresh installation afterwards works.
                 EXPECT_EQ(t.Install(t.dir), 0u);
                 EXPECT_TRUE(t.CloseStartedControlPanel());
                 EXPECT_TRUE(t.Installed(t.dir));
             }},
            {"install after a refused one",
             [](InstallerFaults &t) {
                 ASSERT_EQ(t.Install(t.dir), 0u);
                 ASSERT_TRUE(t.CloseStartedControlPanel());
                 WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"REPEAT", 3);
                 Program refused = StartProgram(L"ceinstall.exe",
                                                L"install \"" + BinDir() + L"..\\Pelorin.cab\" \"" + t.other + L"\"");
                 EXPECT_EQ(
                     AnswerMessageBox(L"Pelorin Installation", 20000),
                     L"Please remove the previously installed Corvane Pelorin first and then run the Setup again.");
                 EXPECT_EQ(WaitProgram(refused), 2u) << "cancelled";
                 EXPECT_TRUE(t.Installed(t.dir)) << "the first installation stands";
                 EXPECT_EQ(Stored(L"REPEAT"), 3u) << "the user's setting stays";
                 ASSERT_EQ(RunProgram(L"ceinstall.exe", L"remove"), 0u);
                 EXPECT_EQ(t.Install(t.other), 0u);
                 EXPECT_TRUE(t.CloseStartedControlPanel());
                 EXPECT_TRUE(t.Installed(t.other));
                 EXPECT_EQ(CountActiveKeyboardEntries(), 1);
             }},
        };
    }
};

TEST_P(InstallerRuns, RemoveTwiceAndInstallAfterARefusal) { GetParam().run(*this); }

INSTANTIATE_TEST_SUITE_P(InstallerFaults, InstallerRuns, ::testing::ValuesIn(InstallerRuns::Rows()),
                         RowName<InstallerRun>);

// Removal while the control panel and the palette are open, both from the
// installation: the removal closes both as their user would, leaves nothing
// behind, and the next installation starts from the defaults.
TEST_F(InstallerFaults, RemovalUnderOpenProgramsLeavesNoKeyAndTheNextInstallationStartsFromTheDefaults)
{
    ASSERT_EQ(Install(dir), 0u);
    HWND panel = nullptr;
    Program &panelProgram = StartedControlPanel(&panel);
    ASSERT_TRUE(panelProgram.process);
    Program &palette = Start(dir + L"\\Kadenza.exe");
    HWND paletteWindow = WaitForWindow(L"Kadenza", 10000, L"Kadenza");
    ASSERT_TRUE(paletteWindow);
    // Choices the next installation must not show.
    Choose(panel, kRepeat, 3);
    EnterFirstText(palette, L"mine");
    ASSERT_EQ(Stored(L"REPEAT"), 3u);
    ASSERT_EQ(StoredText(L"KZ1"), L"mine");
    ASSERT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath));

    std::string out;
    EXPECT_EQ(RunProgram(L"ceinstall.exe", L"remove", &out), 0u) << out;
    EXPECT_EQ(WaitProgram(panelProgram, 0), 0u) << "the control panel ended as closed by its user";
    EXPECT_EQ(WaitProgram(palette, 0), 0u) << "the palette ended as closed by its user";
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSettingsKeyPath)) << out;
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath)) << out;
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kInstallKeyPath)) << out;
    EXPECT_EQ(GetFileAttributesW(dir.c_str()), INVALID_FILE_ATTRIBUTES) << "the programs and their folder are gone";
    EXPECT_EQ(CountActiveKeyboardEntries(), 0);

    // The next installation starts from the defaults.
    ASSERT_EQ(Install(dir), 0u);
    panel = WaitForWindow(kTitle, 20000);
    ASSERT_TRUE(panel);
    EXPECT_EQ(SendMessageW(GetDlgItem(panel, kRepeat), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(GetDlgItem(panel, kDelay), CB_GETCURSEL, 0, 0), 1);
    for (const SettingFacts &d : kSettingFacts)
        EXPECT_EQ(Stored(d.name), d.defaultValue) << Narrow(d.name);
    EXPECT_EQ(StoredText(L"KZ1"), L"<missing>") << "no text before the palette's first start";
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath)) << "written anew";
    Program &again = Start(dir + L"\\Kadenza.exe");
    paletteWindow = WaitForWindow(L"Kadenza", 10000, L"Kadenza");
    ASSERT_TRUE(paletteWindow);
    EXPECT_EQ(WindowText(PaletteButton(paletteWindow, 1)), L"~");
    EXPECT_EQ(StoredText(L"KZ1"), L"~");
    PostMessageW(panel, WM_COMMAND, IDOK, 0);
    PostMessageW(paletteWindow, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitForWindowGone(panel));
    EXPECT_EQ(WaitProgram(again), 0u);
}

// A control panel that does not end when asked, as one that hangs: the
// removal goes on without it once the wait is over. Its file and the settings
// key that it holds open stay, as on the device, and the removal says so and
// fails; the rest is gone. Running again, it ends as it was asked.
TEST_F(InstallerFaults, RemovalPastAProgramThatDoesNotEndLeavesItsFileAndSaysSo)
{
    ASSERT_EQ(Install(dir), 0u);
    HWND panel = nullptr;
    Program &panelProgram = StartedControlPanel(&panel);
    ASSERT_TRUE(panelProgram.process);
    ASSERT_TRUE(WaitUntil([] { return DriverControlCalls().size() >= 4; })) << "its settings pushed";
    ASSERT_TRUE(SuspendProgram(panelProgram));

    std::string out;
    EXPECT_EQ(RunProgram(L"ceinstall.exe", L"remove", &out), 3u) << out;
    EXPECT_NE(out.find("cannot remove " + Narrow(dir) + "\\Pelorin.exe"), std::string::npos) << out;
    EXPECT_NE(out.find("incomplete"), std::string::npos) << out;
    EXPECT_NE(GetFileAttributesW((dir + L"\\Pelorin.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    for (const wchar_t *name : {L"Kadenza.exe", L"PelorinStart.exe"})
        EXPECT_EQ(GetFileAttributesW((dir + L"\\" + name).c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(name);
    EXPECT_EQ(Stored(L"REPEAT"), 2u) << "the settings key, held open, stays";
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kInstallKeyPath));
    EXPECT_EQ(CountActiveKeyboardEntries(), 0) << "the driver was unloaded";

    ASSERT_TRUE(ResumeProgram(panelProgram));
    EXPECT_EQ(WaitProgram(panelProgram), 0u);
}

// ---- Long runs: no growth ----

// Seconds of each long run; PELORIN_SOAK_SECONDS asks for longer.
DWORD SoakSeconds()
{
    wchar_t value[16] = {};
    if (GetEnvironmentVariableW(L"PELORIN_SOAK_SECONDS", value, ARRAYSIZE(value)) && _wtoi(value) > 0)
        return _wtoi(value);
    return 30;
}

struct LongRun {
    const char *name;
    bool palette;
};

class LongRuns : public FaultRows<LongRun> {};

TEST_P(LongRuns, LongRunsDoNotGrow)
{
    const DWORD seconds = SoakSeconds();
    // Allowed growth over the second half: a noisy shared machine may move a
    // few pages; a leak per poll or per change moves far more.
    const SIZE_T bound = SIZE_T(512) * 1024;
    const LongRun &run = GetParam();
    HWND window = run.palette ? StartPalette() : StartControlPanel();
    ASSERT_TRUE(window);
    Program &program = programs.back();
    int step = 0;
    auto work = [&](DWORD ms) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            if (!run.palette) {
                Click(window, step % 2 ? kEnable : kDisable);
                Choose(window, kRepeat, step % 4);
                Choose(window, kDelay, step % 3);
                Click(window, kCloseSoftKeyboard);
                ++step;
            }
            PumpMessages(run.palette ? 200 : 20);
        }
    };
    work(seconds * 1000 / 4);  // warm-up
    Memory first = ProgramMemory(program);
    work(seconds * 1000 / 4);
    Memory middle = ProgramMemory(program);
    work(seconds * 1000 / 2);
    Memory last = ProgramMemory(program);
    // SIZE_T is not size_t on 32-bit Windows: printed through one type.
    auto kib = [](SIZE_T bytes) { return static_cast<unsigned long long>(bytes / 1024); };
    printf("%s over %lus: resident %llu -> %llu -> %llu KiB, committed %llu -> %llu -> %llu KiB, "
           "handles %lu -> %lu -> %lu\n",
           run.name, static_cast<unsigned long>(seconds), kib(first.resident), kib(middle.resident), kib(last.resident),
           kib(first.committed), kib(middle.committed), kib(last.committed), first.handles, middle.handles,
           last.handles);
    ASSERT_GT(first.resident, 0u) << "memory is measured";
    ASSERT_GT(first.committed, 0u) << "memory is measured";
    ASSERT_GT(first.handles, 0u) << "handles are counted";
    EXPECT_LE(last.handles, middle.handles + 8) << first.handles << " " << middle.handles << " " << last.handles;
    EXPECT_LE(last.resident, middle.resident + bound)
        << first.resident << " " << middle.resident << " " << last.resident;
    EXPECT_LE(last.committed, middle.committed + bound)
        << first.committed << " " << middle.committed << " " << last.committed;
    if (run.palette)
        EXPECT_GT(DriverControlCalls().size(), size_t(seconds) * 10) << "the poll ran all along";
    else
        EXPECT_GT(step, 100) << "switched many times";
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitProgram(program), 0u);
}

INSTANTIATE_TEST_SUITE_P(Faults, LongRuns,
                         ::testing::Values(LongRun{"palette left open", true},
                                           LongRun{"control panel switched", false}),
                         RowName<LongRun>);

}  // namespace
