// The 38 button texts: seeding, loading, the edit and text entry dialogs,
// saving, and the two bounds of a caption. The dialogs are worked through
// steps that run on the palette's poll ticks, inside their modal loops.
#include "palettetest.h"
#include "resource.h"
#include "registrynames.h"
#include "cejournal.h"

namespace {

const wchar_t kKey[] = L"Software\\Corvane\\Pelorin";

std::wstring ValueName(int n) { return L"KZ" + std::to_wstring(n); }

std::vector<BYTE> Stored(int n)
{
    std::vector<BYTE> data;
    ReadRegistryBytes(HKEY_LOCAL_MACHINE, kKey, ValueName(n).c_str(), &data);
    return data;
}

std::wstring StoredText(int n)
{
    std::vector<BYTE> data = Stored(n);
    data.resize(data.size() + 2);
    return reinterpret_cast<const wchar_t *>(data.data());
}

void WriteRaw(int n, const std::vector<wchar_t> &units)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, 0, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, ValueName(n).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(units.data()),
                   DWORD(units.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::wstring Caption(int n) { return ItemText(paletteDialog, IDC_BUTTON1 + n - 1); }

// All 38 stored with their defaults at this size, and shown on the palette.
void ExpectDefaultsStoredAndShown(size_t size)
{
    for (int n = 1; n <= 38; ++n) {
        std::vector<BYTE> data = Stored(n);
        std::vector<BYTE> expected(size);
        const wchar_t *text = kButtons[n - 1].defaultText;
        memcpy(expected.data(), text, wcslen(text) * sizeof(wchar_t));
        EXPECT_EQ(data, expected) << "KZ" << n << ": the text, then zeros";
        EXPECT_EQ(Caption(n), text) << "button " << n;
    }
}

class ButtonTexts : public PaletteTest {
protected:
    // Opens the EditDialog from the menu bar's "Edit" and runs the steps in it.
    void Edit(std::vector<std::function<bool(HWND)>> inEdit)
    {
        for (auto &step : inEdit)
            AddStep([step] {
                HWND edit = FindDialogWith(IDC_EDIT_OK);
                return edit && step(edit);
            });
        PostMessageW(paletteWindow, WM_COMMAND, IDM_EDIT, 0);
        ASSERT_TRUE(WaitUntil([] { return StepsDone() && !FindDialogWith(IDC_EDIT_OK); }, 15000));
    }
    // A step that changes twin n through the text entry: what it showed.
    static std::function<bool(HWND)> Enter(int n, std::wstring text, std::wstring *shown = nullptr)
    {
        auto stage = std::make_shared<int>(0);
        return [=](HWND edit) {
            HWND entry = FindDialogWith(IDC_ENTRY_TEXT);
            if (*stage == 0) {
                Click(edit, IDC_TWIN1 + n - 1);
                *stage = 1;
                return false;
            }
            if (*stage == 1) {
                if (!entry)
                    return false;
                if (shown)
                    *shown = ItemText(entry, IDC_ENTRY_TEXT);
                SetDlgItemTextW(entry, IDC_ENTRY_TEXT, text.c_str());
                Click(entry, IDC_ENTRY_OK);
                *stage = 2;
                return false;
            }
            return entry == nullptr;
        };
    }
    static std::function<bool(HWND)> Press(int id)
    {
        return [id](HWND edit) {
            Click(edit, id);
            return true;
        };
    }
};

TEST_F(ButtonTexts, FirstRunSeedsTheDefaultsAt14BytesAndShowsThem)
{
    StartPaletteHere();
    ExpectDefaultsStoredAndShown(14);
}

TEST_F(ButtonTexts, MissingValueShowsEmptyAndMissingKz1ReseedsAll)
{
    WriteRegistryString(HKEY_LOCAL_MACHINE, kKey, L"KZ1", L"mine");
    WriteRegistryString(HKEY_LOCAL_MACHINE, kKey, L"KZ2", L"two");
    StartPaletteHere();
    EXPECT_EQ(Caption(1), L"mine");
    EXPECT_EQ(Caption(2), L"two");
    EXPECT_EQ(Caption(7), L"") << "not seeded while KZ1 exists";
    EXPECT_TRUE(Stored(7).empty());
    DestroyWindow(paletteWindow);

    DeleteRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"KZ1");
    StartPaletteHere();
    ExpectDefaultsStoredAndShown(14);
}

TEST_F(ButtonTexts, SaveWritesAll38At256BytesAndCancelNothing)
{
    StartPaletteHere();
    std::wstring shown;
    Edit({Enter(5, L"&", &shown), Enter(3, L"a&b"), Press(IDC_EDIT_OK)});
    EXPECT_EQ(shown, L"&") << "\"&&\" shows as one \"&\"";
    for (int n = 1; n <= 38; ++n)
        EXPECT_EQ(Stored(n).size(), 256u) << "KZ" << n;
    EXPECT_EQ(StoredText(5), L"&&");
    EXPECT_EQ(StoredText(3), L"a&&b");
    EXPECT_EQ(StoredText(1), L"~");
    EXPECT_EQ(Caption(3), L"a&&b");

    // Cancel drops an edit: palette and registry stay.
    WriteRegistryString(HKEY_LOCAL_MACHINE, kKey, L"KZ9", L"x");
    Edit({Enter(9, L"changed"), Press(IDC_EDIT_DEFAULT), Press(IDC_EDIT_CANCEL)});
    EXPECT_EQ(Stored(9).size(), 4u);
    EXPECT_EQ(Caption(9), L"\\");
    EXPECT_EQ(Caption(3), L"a&&b");

    // The typed form: one "&".
    ClearReceived();
    SetForegroundWindow(receiver);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == receiver; }));
    SetForegroundWindow(paletteWindow);
    Tap(3);
    ASSERT_TRUE(WaitPaletteEnded());
    EXPECT_TRUE(WaitUntil([&] { return Received() == L"a&b"; })) << Narrow(Received());
}

// The save's calls on the settings key, one line each: function, value name
// and size for a write, and whether the call succeeded.
std::vector<std::wstring> SaveCalls(const std::vector<CeCall> &calls)
{
    std::vector<std::wstring> lines;
    for (const CeCall &c : calls) {
        if (c.path != L"HKLM\\Software\\Corvane\\Pelorin")
            continue;
        std::wstring line = c.function;
        if (c.function == L"RegSetValueExW")
            line += L" " + c.value + L" " + std::to_wstring(c.size);
        lines.push_back(line + (c.result == ERROR_SUCCESS ? L" ok" : L" failed"));
    }
    return lines;
}

TEST_F(ButtonTexts, SaveWritesToTheKeyAndWithoutItWritesNothing)
{
    std::vector<std::wstring> stored = {L"RegOpenKeyExW ok"};
    for (int n = 1; n <= 38; ++n)
        stored.push_back(L"RegSetValueExW " + ValueName(n) + L" 256 ok");
    stored.push_back(L"RegFlushKey ok");
    stored.push_back(L"RegCloseKey ok");
    const struct {
        const char *name;
        bool deleted;
        std::vector<std::wstring> calls;
    } cases[] = {
        {"key present", false, stored},
        // Removal deletes it under the running palette: saving does not make it.
        {"key deleted while open", true, {L"RegOpenKeyExW failed"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        StartPaletteHere();
        if (c.deleted)
            DeleteRegistryKey(HKEY_LOCAL_MACHINE, L"Software\\Corvane");
        CeJournalStart();
        Edit({Enter(1, L"kept & sound"), Press(IDC_EDIT_OK)});
        std::vector<CeCall> calls = CeJournalTake();
        CeJournalStop();
        bool keyLeft = RegistryKeyExists(HKEY_LOCAL_MACHINE, kKey);
        std::wstring text = StoredText(1), shown = Caption(1);
        DestroyWindow(paletteWindow);
        PumpMessages(0);  // the palette's quit message, before the next modal loop
        DeleteRegistryKey(HKEY_LOCAL_MACHINE, L"Software\\Corvane");
        EXPECT_EQ(SaveCalls(calls), c.calls);
        EXPECT_EQ(shown, L"kept && sound") << "the palette takes the text in any case";
        EXPECT_EQ(keyLeft, !c.deleted);
        EXPECT_EQ(text, c.deleted ? L"" : L"kept && sound");
    }
}

TEST_F(ButtonTexts, DefaultThenOkStoresTheDefaultsAt256Bytes)
{
    WriteRegistryString(HKEY_LOCAL_MACHINE, kKey, L"KZ1", L"mine");
    StartPaletteHere();
    Edit({Press(IDC_EDIT_DEFAULT), Press(IDC_EDIT_OK)});
    ExpectDefaultsStoredAndShown(256);
}

TEST_F(ButtonTexts, EmptiedEntryStoresAnEmptyCaptionThatTypesNothing)
{
    StartPaletteHere();
    Edit({Enter(1, L""), Press(IDOK)});  // the Done button (the navigation bar's ok) saves like OK
    EXPECT_EQ(Stored(1).size(), 256u);
    EXPECT_EQ(StoredText(1), L"");
    Tap(1);
    ASSERT_TRUE(WaitPaletteEnded());
    EXPECT_EQ(ReceivedWhenSettled(), L"");
}

TEST_F(ButtonTexts, CaptureIsOffWhileEitherDialogIsOpen)
{
    StartPaletteHere();
    std::vector<DWORD> inEdit, inEntry;
    int keysInEdit = 0;
    // From the first tick in the EditDialog on, every poll is answered with
    // the key q, in both dialogs: it must type nothing and end nothing.
    auto watch = [&](HWND) {
        keyReply = 113;
        (FindDialogWith(IDC_ENTRY_TEXT) ? inEntry : inEdit).push_back(pollRequests.back());
        return inEdit.size() >= 10;
    };
    auto stay = [&](HWND) {
        if (!FindDialogWith(IDC_ENTRY_TEXT))
            return false;
        if (inEntry.empty())
            keysInEdit = keyRepliesGiven;
        inEntry.push_back(pollRequests.back());
        if (inEntry.size() < 10)
            return false;
        Click(FindDialogWith(IDC_ENTRY_TEXT), IDC_ENTRY_CANCEL);
        return true;
    };
    Edit({watch,
          [](HWND edit) {
              Click(edit, IDC_TWIN1);
              return true;
          },
          stay,
          [](HWND edit) {
              keyReply = 0;
              Click(edit, IDC_EDIT_CANCEL);
              return true;
          }});
    EXPECT_GE(keysInEdit, 5) << "keys answered in the EditDialog";
    EXPECT_GE(keyRepliesGiven - keysInEdit, 5) << "keys answered in the TextEntryDialog";
    EXPECT_EQ(std::count(inEdit.begin(), inEdit.end(), 1u), 0);
    EXPECT_EQ(std::count(inEntry.begin(), inEntry.end(), 1u), 0);
    ASSERT_NE(paletteWindow, nullptr) << "the palette stays";
    EXPECT_TRUE(IsWindowVisible(paletteWindow));
    EXPECT_EQ(Caption(1), L"~");
    EXPECT_EQ(captureAllowed, 1u);
    EXPECT_TRUE(WaitUntil([] { return !pollRequests.empty() && pollRequests.back() == 1u; }))
        << "capture again after the dialog";
    EXPECT_EQ(ReceivedWhenSettled(), L"") << "nothing typed";
}

TEST_F(ButtonTexts, EmojiAndAmpersandAreStoredAndTypedWhole)
{
    StartPaletteHere();
    const std::wstring entered = L"R&D \U0001F600!";
    Edit({Enter(2, entered), Press(IDC_EDIT_OK)});
    EXPECT_EQ(StoredText(2), L"R&&D \U0001F600!");
    Tap(2);
    ASSERT_TRUE(WaitPaletteEnded());
    EXPECT_TRUE(WaitUntil([&] { return Received() == entered; })) << Narrow(Received());
}

TEST(CaptionForm, BothWaysInWholeCharactersWithinTheCaption)
{
    const std::wstring b125(125, L'b'), b126(126, L'b'), emoji = L"\U0001F600";
    struct Case {
        bool escape;
        std::wstring source, result;
        const char *why;
    } cases[] = {
        {false, L"a&&b&", L"a&b", "\"&&\" is one \"&\", a final \"&\" is dropped"},
        {false, L"&x", L"x", "the unit after a \"&\" is kept"},
        {true, L"a&b&", L"a&&b&&", "every \"&\" doubled"},
        {true, std::wstring(127, L'&'), std::wstring(126, L'&'), "63 whole \"&&\", never half of one"},
        {true, b125 + L"&", b125 + L"&&", "127 units fit"},
        {true, b126 + L"&c", b126, "\"&&\" does not fit after 126 units"},
        {true, b125 + emoji, b125 + emoji, "a pair that fits stays"},
        {true, b126 + emoji, b126, "a pair that does not fit goes whole"},
        {true,
         L"a\xD83D"
         L"b\xDE00",
         L"a\xD83D"
         L"b\xDE00",
         "lone halves stand as entered"},
        {true, L"ab\xD83D", L"ab\xD83D", "a lone half at the end stands"},
        {true, b126 + L"\xD83D", b126, "the half that a cut at 127 units left"},
    };
    for (const Case &c : cases) {
        wchar_t out[kTextUnits];
        (c.escape ? EscapeAmpersands : UnescapeAmpersands)(c.source.c_str(), out, kTextUnits);
        EXPECT_EQ(std::wstring(out), c.result) << c.why;
    }
}

TEST_F(ButtonTexts, LongestTextIsSavedAndReadBackWholeAndManyAmpersandsAreShortened)
{
    std::wstring longest;
    for (int i = 0; i < 125; ++i)
        longest += wchar_t(L'a' + i % 26);
    longest += L"\U0001F600";  // 127 units, its pair the last two
    StartPaletteHere();
    Edit({Enter(6, longest), Enter(4, std::wstring(127, L'&')), Press(IDC_EDIT_OK)});
    EXPECT_EQ(StoredText(6), longest);
    EXPECT_EQ(StoredText(4), std::wstring(126, L'&'));
    EXPECT_EQ(Stored(4).size(), 256u);
    DestroyWindow(paletteWindow);

    StartPaletteHere();
    EXPECT_EQ(Caption(6), longest);
    EXPECT_EQ(Caption(4), std::wstring(126, L'&'));
}

TEST_F(ButtonTexts, OverlongOrUnterminatedStoredValueShowsItsFirst127Units)
{
    WriteRegistryString(HKEY_LOCAL_MACHINE, kKey, L"KZ1", L"~");
    std::vector<wchar_t> longText(200, L'x');
    longText.push_back(0);
    WriteRaw(3, longText);                         // 402 bytes
    WriteRaw(4, std::vector<wchar_t>(128, L'y'));  // 256 bytes, no zero
    std::vector<wchar_t> cut(126, L'z');           // unit 127 is half a pair
    cut.push_back(0xD83D);
    cut.push_back(0xDE00);
    cut.push_back(0);
    WriteRaw(5, cut);
    std::vector<wchar_t> lone(126, L'z');  // unit 127 a lone half
    lone.push_back(0xD83D);
    lone.push_back(L'w');
    lone.push_back(0);
    WriteRaw(6, lone);
    WriteRaw(7, {L'a', 0xD83D, 0});  // short, ends in a lone half
    StartPaletteHere();
    EXPECT_EQ(Caption(3), std::wstring(127, L'x'));
    EXPECT_EQ(Caption(4), std::wstring(127, L'y'));
    EXPECT_EQ(Caption(5), std::wstring(126, L'z'));
    EXPECT_EQ(Caption(6), std::wstring(126, L'z') + L"\xD83D");
    EXPECT_EQ(Caption(7), std::wstring(L"a\xD83D"));
    EXPECT_EQ(Stored(3).size(), 402u) << "not rewritten until saved";
}

}  // namespace
