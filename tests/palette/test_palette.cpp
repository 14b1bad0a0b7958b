// The palette's window, key poll, typing and shutdown, run in this process:
// typed characters arrive in a real edit control behind the palette, polls
// are seen as the driver gets them.
#include "palettetest.h"
#include <atomic>
#include "cejournal.h"
#include "controlcodes.h"
#include "driverlink.h"
#include "resource.h"
#include "registrynames.h"

// Every allocation of this binary passes here (the linker wraps them).
static std::atomic<long> allocations;
extern "C" void *__real_malloc(size_t);
extern "C" void *__real_calloc(size_t, size_t);
extern "C" void *__real_realloc(void *, size_t);
extern "C" void *__wrap_malloc(size_t n) { ++allocations; return __real_malloc(n); }
extern "C" void *__wrap_calloc(size_t n, size_t s) { ++allocations; return __real_calloc(n, s); }
extern "C" void *__wrap_realloc(void *p, size_t n) { ++allocations; return __real_realloc(p, n); }

namespace {

static long ioCalls;
void CountCalls(DWORD, const void *, const void *) { ++ioCalls; }

// The typed form of each default text.
std::wstring Typed(int button)
{
    std::wstring text = DefaultButtonTexts[button - 1];
    return text == L"&&" ? L"&" : text;
}

class Palette : public PaletteTest {};
class PaletteWithoutDevice : public PaletteTest {
protected:
    void SetUp() override
    {
        withDriver = false;
        PaletteTest::SetUp();
    }
};

TEST(KeyButtonMap, EveryCodeOfTheTableAndNothingElse)
{
    const DWORD codes[38] = {113, 119, 101, 114, 116, 121, 117, 105, 111, 112, 97, 115, 100,
                             102, 103, 104, 106, 107, 108, 11, 122, 120, 99, 118, 98, 110,
                             109, 10, 12, 16, 27, 32, 5, 8, 18, 19, 20, 21};
    for (int n = 1; n <= 38; ++n)
        EXPECT_EQ(ButtonForKey(codes[n - 1]), n) << "code " << codes[n - 1];
    int mapped = 0;
    for (DWORD code = 0; code < 300; ++code)
        mapped += ButtonForKey(code) != 0;
    EXPECT_EQ(mapped, 38);
    EXPECT_EQ(ButtonForKey(15), 0) << "15 is Quit, not a button";
    EXPECT_EQ(ButtonForKey(0xFFFFFFFF), 0);
}

TEST_F(Palette, EachMappedKeyTypesItsButtonAndEndsThePalette)
{
    const DWORD codes[38] = {113, 119, 101, 114, 116, 121, 117, 105, 111, 112, 97, 115, 100,
                             102, 103, 104, 106, 107, 108, 11, 122, 120, 99, 118, 98, 110,
                             109, 10, 12, 16, 27, 32, 5, 8, 18, 19, 20, 21};
    for (int n = 1; n <= 38; ++n) {
        ClearReceived();
        SetForegroundWindow(receiver);
        StartPaletteHere();
        injectedReply = codes[n - 1];
        ASSERT_TRUE(WaitPaletteEnded()) << "button " << n;
        EXPECT_TRUE(WaitUntil([&] { return Received() == Typed(n); }, 3000))
            << "button " << n << " typed \"" << Narrow(Received()) << "\"";
    }
}

TEST_F(Palette, PressedKeyFromTheDriverTypesButtonOne)
{
    StartPaletteHere();
    std::string out;
    ASSERT_EQ(RunProgram(L"plnkbd.exe", L"press q", &out), 0u) << out;
    ASSERT_TRUE(WaitPaletteEnded());
    EXPECT_TRUE(WaitUntil([&] { return Received() == L"~"; }, 3000)) << Narrow(Received());
}

TEST_F(Palette, QuitKeyEndsWithoutTyping)
{
    StartPaletteHere();
    injectedReply = kQuitKey;
    ASSERT_TRUE(WaitPaletteEnded());
    PumpMessages(200);
    EXPECT_EQ(Received(), L"");
}

TEST_F(Palette, UnmappedAndOutOfRangeCodesSelectNothing)
{
    StartPaletteHere();
    std::vector<DWORD> codes = {127, 128, 200, 255, 0x10000 + 113, 0xFFFFFFFF};
    for (DWORD code = 1; code < 127; ++code)
        if (code != 15 && !ButtonForKey(code))
            codes.push_back(code);
    ASSERT_EQ(codes.size(), 6u + 126u - 1u - 38u);
    for (DWORD code : codes) {
        pollRequests.clear();
        injectedReply = code;
        ASSERT_TRUE(WaitUntil([] { return injectedReply == 0 && pollRequests.size() >= 2; }, 3000)) << code;
        ASSERT_NE(paletteWindow, nullptr) << "code " << code << " ended the palette";
    }
    EXPECT_EQ(Received(), L"");
    EXPECT_EQ(GetForegroundWindow(), paletteWindow);
}

TEST_F(Palette, CaptionsTypeWithAmpersandsCollapsed)
{
    struct Case {
        const wchar_t *caption, *typed;
    } cases[] = {
        {L"&&", L"&"},
        {L"a&b", L"a&"},
        {L"x&&y&", L"x&y&"},
        {L"ab&", L"ab&"},
        {L"", L""},
        {L"\u00E9\u20AC\u4E2D\U0001F600", L"\u00E9\u20AC\u4E2D\U0001F600"},
    };
    for (const Case &c : cases) {
        ClearReceived();
        SetForegroundWindow(receiver);
        StartPaletteHere();
        SetDlgItemTextW(paletteDialog, IDC_BUTTON1 + 6, c.caption);
        Tap(7);
        ASSERT_TRUE(WaitPaletteEnded()) << Narrow(c.caption);
        EXPECT_TRUE(WaitUntil([&] { return Received() == c.typed; }, 3000))
            << "caption \"" << Narrow(c.caption) << "\" typed \"" << Narrow(Received()) << "\"";
    }
}

TEST(CharacterList, StopsAt127AndMarksEachCharacterDown)
{
    wchar_t caption[kTextUnits] = {};
    for (int i = 0; i < kTextUnits - 1; ++i)
        caption[i] = L'a' + i % 26;
    UINT characters[kTextUnits - 1], shifts[kTextUnits - 1];
    ASSERT_EQ(BuildCharacterList(caption, characters, shifts), 127u);
    EXPECT_EQ(characters[126], UINT(L'a' + 126 % 26));
    for (UINT s : shifts)
        EXPECT_EQ(s, UINT(KeyStateDownFlag));
}

TEST_F(Palette, RequestsCaptureOnlyInFrontAndWhileAllowed)
{
    StartPaletteHere();
    PumpMessages(100);
    ASSERT_FALSE(pollRequests.empty());
    EXPECT_EQ(pollRequests.back(), 1u);

    captureAllowed = 0;
    PumpMessages(30);
    pollRequests.clear();
    PumpMessages(100);
    ASSERT_FALSE(pollRequests.empty());
    EXPECT_EQ(std::count(pollRequests.begin(), pollRequests.end(), 1u), 0);
    captureAllowed = 1;

    SetForegroundWindow(receiver);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == receiver; }));
    PumpMessages(30);
    pollRequests.clear();
    PumpMessages(100);
    ASSERT_FALSE(pollRequests.empty());
    EXPECT_EQ(std::count(pollRequests.begin(), pollRequests.end(), 1u), 0);
}

// The driver answers with a key, but another window came to the front while
// it did: the key is dropped and the palette stays.
HWND frontDuringReply;
void BringOtherWindowToFront(DWORD code, const void *in, const void *out)
{
    if (*static_cast<const DWORD *>(in) == 1 && frontDuringReply) {
        *static_cast<DWORD *>(const_cast<void *>(out)) = 113;
        SetForegroundWindow(frontDuringReply);
        frontDuringReply = nullptr;
    }
}

TEST_F(Palette, ReplyAfterAnotherWindowCameToFrontIsIgnored)
{
    StartPaletteHere();
    frontDuringReply = receiver;
    CeSetIoControlHook(BringOtherWindowToFront);
    ASSERT_TRUE(WaitUntil([] { return frontDuringReply == nullptr; }));
    PumpMessages(200);
    EXPECT_NE(paletteWindow, nullptr);
    EXPECT_TRUE(IsWindowVisible(paletteWindow));
    EXPECT_EQ(Received(), L"");
}

TEST_F(Palette, AboutBoxPollsWithRequestZero)
{
    StartPaletteHere();
    std::vector<DWORD> duringAbout;
    AddStep([&] {
        HWND about = FindDialogWith(IDC_ABOUT_NAME);
        if (!about)
            return false;
        duringAbout.push_back(pollRequests.back());
        if (duringAbout.size() < 20)
            return false;
        EXPECT_EQ(ItemText(about, IDC_ABOUT_NAME), L"Kadenza");
        EXPECT_NE(GetDlgItem(about, IDOK), nullptr) << "Done control";
        Click(about, IDOK);
        return true;
    });
    PostMessageW(paletteWindow, WM_COMMAND, IDM_ABOUT, 0);
    ASSERT_TRUE(WaitUntil([] { return StepsDone() && !FindDialogWith(IDC_ABOUT_NAME); }));
    EXPECT_EQ(std::count(duringAbout.begin(), duringAbout.end(), 1u), 0);
    EXPECT_NE(paletteWindow, nullptr) << "About closed, palette stays";
}

TEST_F(Palette, EveryWayOutEndsWithAPollOfZeroBeforeClosingTheDevice)
{
    struct Way {
        const char *name;
        std::function<void(PaletteTest *)> end;
    } ways[] = {
        {"tap", [](PaletteTest *t) { PostMessageW(paletteDialog, WM_COMMAND, IDC_BUTTON1, 0); }},
        {"Quit", [](PaletteTest *) { PostMessageW(paletteDialog, WM_COMMAND, IDC_QUIT, 0); }},
        {"key 15", [](PaletteTest *) { injectedReply = kQuitKey; }},
        {"key q", [](PaletteTest *) { injectedReply = 113; }},
        {"caption OK", [](PaletteTest *) { PostMessageW(paletteWindow, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"IDCANCEL", [](PaletteTest *) { PostMessageW(paletteDialog, WM_COMMAND, IDCANCEL, 0); }},
    };
    for (Way &way : ways) {
        SetForegroundWindow(receiver);
        StartPaletteHere();
        HWND menu = menuBar;
        ASSERT_NE(menu, nullptr);
        CeJournalStart();
        way.end(this);
        ASSERT_TRUE(WaitPaletteEnded()) << way.name;
        std::vector<CeCall> calls = CeJournalTake();
        CeJournalStop();
        ASSERT_GE(calls.size(), 2u) << way.name;
        const CeCall &poll = calls[calls.size() - 2], &close = calls.back();
        EXPECT_EQ(poll.function, L"DeviceIoControl") << way.name;
        EXPECT_EQ(poll.type, IOCTL_KBD_POLL_PALETTE_KEY);
        ASSERT_EQ(poll.data.size(), 4u);
        EXPECT_EQ(poll.data[0], 0) << way.name << ": last poll request";
        EXPECT_EQ(close.function, L"CloseHandle") << way.name;
        EXPECT_EQ(close.path, L"PLN1:");
        EXPECT_FALSE(IsWindow(menu)) << way.name << ": menu bar destroyed";
        EXPECT_EQ(paletteDialog, nullptr);
    }
    std::vector<std::string> driver = DriverJournal();
    ASSERT_GE(driver.size(), 2u);
    EXPECT_EQ(driver.back(), "PLN_Close");
    EXPECT_EQ(driver[driver.size() - 2].rfind("IOCTL_KBD_POLL_PALETTE_KEY 0 -> 0", 0), 0u);
}

TEST_F(Palette, EachTickMakesOneControlCallAndAllocatesNothing)
{
    StartPaletteHere();
    CeSetIoControlHook(CountCalls);
    int ticks = 0, inFront = 0;
    while (ticks < 60) {
        if (ticks == 30)
            SetForegroundWindow(receiver);  // the other branch: request 0
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(1);
            continue;
        }
        bool tick = msg.message == WM_TIMER && msg.hwnd == paletteWindow && msg.wParam == kKeyPollTimer;
        if (!tick) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        inFront += GetForegroundWindow() == paletteWindow;
        long callsBefore = ioCalls, allocationsBefore = allocations;
        DispatchMessageW(&msg);
        long made = ioCalls - callsBefore, allocated = allocations - allocationsBefore;
        EXPECT_EQ(made, 1) << "tick " << ticks;
        EXPECT_EQ(allocated, 0) << "tick " << ticks;
        ++ticks;
    }
    EXPECT_GT(inFront, 0);
    EXPECT_LT(inFront, 60);
    // The count does see allocations made here.
    long before = allocations;
    std::wstring text(200 + GetTickCount() % 2, L'x');
    SetWindowTextW(receiverEdit, text.c_str());
    EXPECT_GE(allocations - before, 1);
}

TEST_F(Palette, WithoutResourcesReportsTheMenuBarAndStillPollsAndEnds)
{
    // A module without the palette's resources: no menu bar, no dialog.
    HINSTANCE bare = GetModuleHandleW(L"kernel32.dll");
    ASSERT_FALSE(FindRunningPalette(GetModuleHandleW(nullptr)));
    struct Answer {
        std::wstring text;
    } answer;
    HANDLE thread = CreateThread(nullptr, 0, [](LPVOID p) WINAPI -> DWORD {
        static_cast<Answer *>(p)->text = AnswerMessageBox(L"Error");
        return 0;
    }, &answer, 0, nullptr);
    ASSERT_TRUE(StartPalette(bare, SW_SHOW));
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    EXPECT_EQ(answer.text, L"SHCreateMenuBar Failed");
    EXPECT_EQ(menuBar, nullptr);
    EXPECT_EQ(paletteDialog, nullptr);
    SetForegroundWindow(paletteWindow);
    ASSERT_TRUE(WaitUntil([] { return GetForegroundWindow() == paletteWindow; }));
    injectedReply = 113;
    ASSERT_TRUE(WaitPaletteEnded()) << "a mapped key still ends the palette";
    EXPECT_EQ(Received(), L"");
}

TEST_F(PaletteWithoutDevice, TapsStillTypeAndThePaletteEnds)
{
    StartPaletteHere();
    EXPECT_EQ(deviceHandle, INVALID_HANDLE_VALUE);
    PumpMessages(50);
    EXPECT_TRUE(pollRequests.empty());
    Tap(21);
    ASSERT_TRUE(WaitPaletteEnded());
    EXPECT_TRUE(WaitUntil([&] { return Received() == L":-)"; }, 3000)) << Narrow(Received());
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Corvane\\Pelorin"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, L"Drivers\\BuiltIn\\Pelorin")) << "the palette never writes it";
}

} // namespace
