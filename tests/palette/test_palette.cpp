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
extern "C" void *__wrap_malloc(size_t n)
{
    ++allocations;
    return __real_malloc(n);
}
extern "C" void *__wrap_calloc(size_t n, size_t s)
{
    ++allocations;
    return __real_calloc(n, s);
}
extern "C" void *__wrap_realloc(void *p, size_t n)
{
    ++allocations;
    return __real_realloc(p, n);
}

namespace {

static long ioCalls;
void CountCalls(DWORD, const void *, const void *) { ++ioCalls; }

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
    for (int n = 1; n <= 38; ++n)
        EXPECT_EQ(ButtonForKey(kButtons[n - 1].key), n) << "code " << kButtons[n - 1].key;
    int mapped = 0;
    for (DWORD code = 0; code < 300; ++code)
        mapped += ButtonForKey(code) != 0;
    EXPECT_EQ(mapped, 38);
    EXPECT_EQ(ButtonForKey(15), 0) << "15 is Quit, not a button";
    EXPECT_EQ(ButtonForKey(0xFFFFFFFF), 0);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The pixels a place in dialog units takes in the dialog, as left, top,
// width, height: each mapped on its own, as dialogs place their controls.
RECT Mapped(HWND dialog, const int (&place)[4])
{
    RECT r = {place[0], place[1], place[2], place[3]};
    MapDialogRect(dialog, &r);
    return r;
}

RECT Placed(HWND dialog, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::string Describe(const RECT &r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) + "x"
           + std::to_string(r.bottom);
}

// Every template as the resources build it: sizes, ids, captions and places
// of the controls, the picture, the strings and the menu.
TEST_F(Palette, ResourcesHoldEveryControlTextAndPlace)
{
    HINSTANCE inst = GetModuleHandleW(nullptr);
    struct Template {
        int id, width, height;
        HWND dialog;
    } templates[] = {
        {104, 143, 131, nullptr}, {103, 158, 158, nullptr}, {105, 156, 158, nullptr}, {106, 151, 130, nullptr}};
    for (Template &t : templates) {
        t.dialog = CreateDialogParamW(inst, MAKEINTRESOURCEW(t.id), receiver, PlainDialogProc, 0);
        ASSERT_NE(t.dialog, nullptr) << "template " << t.id;
        RECT client, size = Mapped(t.dialog, {0, 0, t.width, t.height});
        GetClientRect(t.dialog, &client);
        EXPECT_EQ(client.right, size.right) << "template " << t.id;
        EXPECT_EQ(client.bottom, size.bottom) << "template " << t.id;
        LOGFONTW font = {};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(t.dialog, WM_GETFONT, 0, 0)), sizeof(font), &font);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72)) << "8 points, template " << t.id;
        ReleaseDC(nullptr, screen);
        EXPECT_STREQ(font.lfFaceName, L"Tahoma") << "template " << t.id;
    }
    HWND palette = templates[0].dialog, about = templates[1].dialog, edit = templates[2].dialog,
         entry = templates[3].dialog;

    for (int n = 1; n <= 38; ++n) {
        const ButtonFacts &b = kButtons[n - 1];
        HWND button = GetDlgItem(palette, 1001 + n), twin = GetDlgItem(edit, 1058 + n);
        ASSERT_NE(button, nullptr) << "button " << n;
        ASSERT_NE(twin, nullptr) << "twin " << n;
        EXPECT_EQ(ItemText(palette, 1001 + n), b.templateCaption) << "button " << n;
        EXPECT_EQ(ItemText(edit, 1058 + n), b.templateCaption) << "twin " << n;
        EXPECT_EQ(Describe(Placed(palette, button)), Describe(Mapped(palette, b.palette))) << "button " << n;
        EXPECT_EQ(Describe(Placed(edit, twin)), Describe(Mapped(edit, b.edit))) << "twin " << n;
    }
    EXPECT_EQ(GetDlgItem(palette, 1001), nullptr);
    EXPECT_EQ(GetDlgItem(edit, 1097), nullptr) << "no twin of Quit";

    struct Item {
        HWND dialog;
        int id;  // -1: found by its text
        const wchar_t *text;
        int place[4];
    } items[] = {
        {palette, 1040, L"Quit", {60, 94, 16, 10}},
        {about, 1050, L"Kadenza", {58, 31, 41, 8}},
        {about, -1, L"Version 2.0", {56, 41, 45, 8}},
        {edit, -1, L"Please select the button to  edit:", {11, 6, 118, 10}},
        {edit, 1042, L"OK", {20, 137, 30, 15}},
        {edit, 1043, L"Cancel", {63, 137, 30, 15}},
        {edit, 1053, L"Default", {106, 137, 30, 15}},
        {entry, -1, L"Change the kadenza to:", {31, 27, 89, 12}},
        {entry, 1098, L"", {54, 48, 42, 12}},
        {entry, 1055, L"OK", {33, 75, 30, 14}},
        {entry, 1056, L"Cancel", {82, 75, 30, 14}},
    };
    for (const Item &item : items) {
        HWND control = item.id == -1 ? FindWindowExW(item.dialog, nullptr, nullptr, item.text)
                                     : GetDlgItem(item.dialog, item.id);
        EXPECT_NE(control, nullptr) << Narrow(item.text);
        if (!control)
            continue;
        if (item.id != -1) {
            EXPECT_EQ(ItemText(item.dialog, item.id), item.text);
        }
        EXPECT_EQ(Describe(Placed(item.dialog, control)), Describe(Mapped(item.dialog, item.place)))
            << Narrow(item.text);
    }
    // The edit control draws its border as a client edge.
    LONG entryStyle = GetWindowLongW(GetDlgItem(entry, 1098), GWL_STYLE);
    LONG entryExStyle = GetWindowLongW(GetDlgItem(entry, 1098), GWL_EXSTYLE);
    EXPECT_EQ(entryStyle & (ES_MULTILINE | ES_AUTOHSCROLL), ES_MULTILINE | ES_AUTOHSCROLL);
    EXPECT_TRUE((entryStyle & WS_BORDER) || (entryExStyle & WS_EX_CLIENTEDGE)) << "a border";

    // The keyboard picture under the palette's and the edit dialog's buttons.
    for (HWND dialog : {palette, edit}) {
        HBITMAP picture = nullptr;
        for (HWND c = nullptr; !picture && (c = FindWindowExW(dialog, c, L"Static", nullptr));)
            picture = reinterpret_cast<HBITMAP>(SendMessageW(c, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP bitmap = {};
        ASSERT_NE(picture, nullptr);
        GetObjectW(picture, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, 201);
        EXPECT_EQ(bitmap.bmHeight, 177);
    }
    for (Template &t : templates)
        DestroyWindow(t.dialog);

    struct String {
        UINT id;
        const wchar_t *text;
    } strings[] = {{1, L"Kadenza"}, {3, L"Kadenza"}, {401, L"Edit"}, {404, L"Help"}};
    for (const String &str : strings) {
        wchar_t text[100] = {};
        LoadStringW(inst, str.id, text, 100);
        EXPECT_STREQ(text, str.text) << "string " << str.id;
    }
    HMENU menu = LoadMenuW(inst, MAKEINTRESOURCEW(400));
    ASSERT_NE(menu, nullptr);
    wchar_t text[32] = {};
    EXPECT_EQ(GetMenuItemID(menu, 0), 401u);
    GetMenuStringW(menu, 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Edit");
    GetMenuStringW(menu, 1, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Help");
    HMENU help = GetSubMenu(menu, 1);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(GetMenuItemID(help, 0), 40003u);
    GetMenuStringW(help, 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"About");
    DestroyMenu(menu);

    // The menu bar's description: menu 400 and two buttons, each as image,
    // command, state, style, string, 0, pop-up. No image is 0xFFFE, enabled
    // 4, a button sized to its text 0x10, a drop-down so sized 0x18, no
    // pop-up 0xFFFF.
    const WORD bar[] = {400, 2, 0xFFFE, 401, 4, 0x10, 401, 0, 0xFFFF, 0xFFFE, 402, 4, 0x18, 404, 0, 1};
    HRSRC found = FindResourceW(inst, MAKEINTRESOURCEW(400), RT_RCDATA);
    ASSERT_NE(found, nullptr);
    ASSERT_EQ(SizeofResource(inst, found), sizeof(bar));
    const WORD *words = static_cast<const WORD *>(LockResource(LoadResource(inst, found)));
    EXPECT_EQ(std::vector<WORD>(words, words + 16), std::vector<WORD>(bar, bar + 16));
}

TEST_F(Palette, EachMappedKeyTypesItsButtonAndEndsThePalette)
{
    for (int n = 1; n <= 38; ++n) {
        ClearReceived();
        SetForegroundWindow(receiver);
        StartPaletteHere();
        injectedReply = kButtons[n - 1].key;
        ASSERT_TRUE(WaitPaletteEnded()) << "button " << n;
        EXPECT_TRUE(WaitUntil([&] { return Received() == TypedDefault(n); }))
            << "button " << n << " typed \"" << Narrow(Received()) << "\"";
    }
}

TEST_F(Palette, PressedKeyFromTheDriverTypesButtonOne)
{
    StartPaletteHere();
    std::string out;
    ASSERT_EQ(RunProgram(L"plnkbd.exe", L"press q", &out), 0u) << out;
    ASSERT_TRUE(WaitPaletteEnded());
    EXPECT_TRUE(WaitUntil([&] { return Received() == L"~"; })) << Narrow(Received());
}

TEST_F(Palette, QuitKeyEndsWithoutTyping)
{
    StartPaletteHere();
    injectedReply = 15;
    ASSERT_TRUE(WaitPaletteEnded());
    EXPECT_EQ(ReceivedWhenSettled(), L"");
}

TEST_F(Palette, UnmappedAndOutOfRangeCodesSelectNothing)
{
    // Codes below 127 that are neither in the key table nor Quit (15), then
    // codes of 127 and above, some of them a mapped code plus a power of two.
    // A reply of 0 is what every idle tick gets.
    const DWORD ranges[][2] = {{1, 4}, {6, 7}, {9, 9}, {13, 14}, {17, 17}, {22, 26}, {28, 31}, {33, 96}, {123, 126}};
    std::vector<DWORD> codes;
    for (const auto &range : ranges)
        for (DWORD code = range[0]; code <= range[1]; ++code)
            codes.push_back(code);
    ASSERT_EQ(codes.size(), 87u);
    for (DWORD code : {127u, 128u, 128u + 113u, 200u, 255u, 256u + 113u, 256u + 15u, 0x10000u + 113u, 0x10000u + 15u,
                       0x80000000u + 113u, 0xFFFFFFFFu})
        codes.push_back(code);
    StartPaletteHere();
    for (DWORD code : codes) {
        pollRequests.clear();
        injectedReply = code;
        ASSERT_TRUE(WaitUntil([] { return injectedReply == 0 && pollRequests.size() >= 2; })) << code;
        ASSERT_NE(paletteWindow, nullptr) << "code " << code << " ended the palette";
    }
    EXPECT_EQ(GetForegroundWindow(), paletteWindow);
    EXPECT_EQ(ReceivedWhenSettled(), L"");
}

TEST_F(Palette, CaptionsTypeWithAmpersandsCollapsed)
{
    struct Case {
        const wchar_t *caption, *typed;
    } cases[] = {
        {L"&&", L"&"},    {L"a&b", L"a&"}, {L"x&&y&", L"x&y&"},
        {L"ab&", L"ab&"}, {L"", L""},      {L"\u00E9\u20AC\u4E2D\U0001F600", L"\u00E9\u20AC\u4E2D\U0001F600"},
    };
    for (const Case &c : cases) {
        ClearReceived();
        SetForegroundWindow(receiver);
        StartPaletteHere();
        SetDlgItemTextW(paletteDialog, IDC_BUTTON1 + 6, c.caption);
        Tap(7);
        ASSERT_TRUE(WaitPaletteEnded()) << Narrow(c.caption);
        EXPECT_TRUE(WaitUntil([&] { return Received() == c.typed; }))
            << "caption \"" << Narrow(c.caption) << "\" typed \"" << Narrow(Received()) << "\"";
    }
}

// The window behind as another program's, on a thread of its own: on
// activation its focus rests on the frame for a while before the window moves
// it to its edit control, as a program on a busy machine may.
class SlowFocusWindow {
public:
    ~SlowFocusWindow()
    {
        if (!thread)
            return;
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
    }
    bool Start()
    {
        ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread = CreateThread(nullptr, 0, Run, this, 0, &threadId);
        bool started = thread && WaitForSingleObject(ready, 10000) == WAIT_OBJECT_0 && edit;
        CloseHandle(ready);
        return started;
    }
    std::wstring Text() const
    {
        wchar_t text[256] = {};
        GetWindowTextW(edit, text, 256);
        return text;
    }
    bool FocusOnEdit() const
    {
        GUITHREADINFO info = {sizeof(info)};
        return GetGUIThreadInfo(threadId, &info) && info.hwndFocus == edit;
    }
    HWND frame = nullptr, edit = nullptr;

private:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_SETFOCUS) {
            Sleep(300);  // the slow program's own work, not a wait of the test
            SetFocus(GetWindow(window, GW_CHILD));
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static DWORD WINAPI Run(LPVOID p)
    {
        auto *self = static_cast<SlowFocusWindow *>(p);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = FrameProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SlowFocusWindow";
        RegisterClassW(&wc);
        self->frame = CreateWindowExW(0, wc.lpszClassName, L"Slow focus", WS_OVERLAPPEDWINDOW, 320, 100, 300, 200,
                                      nullptr, nullptr, wc.hInstance, nullptr);
        self->edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 280, 150, self->frame,
                                     nullptr, wc.hInstance, nullptr);
        ShowWindow(self->frame, SW_SHOWNOACTIVATE);  // the test gives it the front
        SetEvent(self->ready);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        DestroyWindow(self->frame);
        UnregisterClassW(wc.lpszClassName, wc.hInstance);
        return 0;
    }
    HANDLE thread = nullptr, ready = nullptr;
    DWORD threadId = 0;
};

// The text goes to the focus that the window behind has when it takes the
// text, not to the one it had while being activated: the frame's.
TEST_F(Palette, TextReachesTheFocusThatTheWindowBehindSetsOnActivation)
{
    SlowFocusWindow behind;
    ASSERT_TRUE(behind.Start());
    ShowWindow(receiver, SW_HIDE);  // the slow window is the one behind the palette
    const std::wstring text = L"a&&\U0001F600";
    for (bool tap : {true, false}) {
        SCOPED_TRACE(tap ? "tap" : "key");
        SetWindowTextW(behind.edit, L"");
        // Each hand-over of the front taken by the slow window's thread before
        // the next: a message sent to it returns after those sent before.
        SetForegroundWindow(behind.frame);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == behind.frame && behind.FocusOnEdit(); }));
        SendMessageW(behind.frame, WM_NULL, 0, 0);
        StartPaletteHere();
        SendMessageW(behind.frame, WM_NULL, 0, 0);
        ASSERT_EQ(GetForegroundWindow(), paletteWindow);
        SetDlgItemTextW(paletteDialog, IDC_BUTTON1, text.c_str());
        if (tap)
            Tap(1);
        else
            injectedReply = kButtons[0].key;
        ASSERT_TRUE(WaitPaletteEnded());
        EXPECT_TRUE(WaitUntil([&] { return behind.Text() == L"a&\U0001F600"; }))
            << "typed \"" << Narrow(behind.Text()) << "\"";
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
        EXPECT_EQ(s, 0x80u) << "the key is down";
}

// The timers that this program asks for, seen at its import of SetTimer.
struct TimerAsked {
    HWND window;
    UINT_PTR id;
    UINT interval;
    bool callback;
};
std::vector<TimerAsked> timersAsked;
using SetTimerCall = UINT_PTR(WINAPI *)(HWND, UINT_PTR, UINT, TIMERPROC);
SetTimerCall realSetTimer;
UINT_PTR WINAPI WatchSetTimer(HWND window, UINT_PTR id, UINT interval, TIMERPROC callback)
{
    timersAsked.push_back({window, id, interval, callback != nullptr});
    return realSetTimer(window, id, interval, callback);
}

// Points this program's import of a function at another while it lives.
class ImportSwap {
public:
    ImportSwap(const char *dll, const char *function, void *replacement)
    {
        BYTE *base = reinterpret_cast<BYTE *>(GetModuleHandleW(nullptr));
        auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + reinterpret_cast<IMAGE_DOS_HEADER *>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY &imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto *d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress); d->Name && !slot;
             ++d) {
            if (lstrcmpiA(reinterpret_cast<const char *>(base + d->Name), dll))
                continue;
            auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + d->OriginalFirstThunk);
            auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + d->FirstThunk);
            for (; names->u1.AddressOfData && !slot; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto *byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
                if (!strcmp(reinterpret_cast<const char *>(byName->Name), function))
                    slot = reinterpret_cast<void **>(&slots->u1.Function);
            }
        }
        if (slot) {
            original = *slot;
            Write(replacement);
        }
    }
    ~ImportSwap()
    {
        if (slot)
            Write(original);
    }
    bool Swapped() const { return slot != nullptr; }
    void *Original() const { return original; }

private:
    void Write(void *target)
    {
        DWORD old;
        VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old);
        *slot = target;
        VirtualProtect(slot, sizeof(*slot), old, &old);
    }
    void **slot = nullptr;
    void *original = nullptr;
};

TEST_F(Palette, RequestsCaptureOnlyInFrontAndWhileAllowed)
{
    // Wine runs any interval below 10 ms at 10 ms: the interval asked for is
    // read where the palette asks, at its import of SetTimer.
    timersAsked.clear();
    {
        ImportSwap watch("user32.dll", "SetTimer", reinterpret_cast<void *>(WatchSetTimer));
        ASSERT_TRUE(watch.Swapped());
        realSetTimer = reinterpret_cast<SetTimerCall>(watch.Original());
        StartPaletteHere();
    }
    ASSERT_EQ(timersAsked.size(), 1u);
    EXPECT_EQ(timersAsked[0].window, paletteWindow);
    EXPECT_EQ(timersAsked[0].id, 666u);
    EXPECT_EQ(timersAsked[0].interval, 5u) << "ms";
    EXPECT_FALSE(timersAsked[0].callback);
    RECT placed;
    GetWindowRect(paletteWindow, &placed);
    EXPECT_EQ(Describe(placed), "20,80 223x275") << "x 20, y 80, 203 by 195 pixels";
    ASSERT_TRUE(WaitUntil([] { return !pollRequests.empty(); }));
    EXPECT_EQ(pollRequests.back(), 1u);

    // Each later poll sees the change: ten of them, and none asks to capture.
    auto tenPolls = [] {
        pollRequests.clear();
        return WaitUntil([] { return pollRequests.size() >= 10; });
    };
    captureAllowed = 0;
    ASSERT_TRUE(tenPolls());
    EXPECT_EQ(std::count(pollRequests.begin(), pollRequests.end(), 1u), 0);
    captureAllowed = 1;

    SetForegroundWindow(receiver);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == receiver; }));
    ASSERT_TRUE(tenPolls());
    EXPECT_EQ(std::count(pollRequests.begin(), pollRequests.end(), 1u), 0);
}

// The driver answers with a key, but another window came to the front while
// it did: the key is dropped and the palette stays.
HWND frontDuringReply;
int pollsSeen;
void BringOtherWindowToFront(DWORD code, const void *in, const void *out)
{
    ++pollsSeen;
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
    // Ten more polls: the palette ran on past the reply.
    pollsSeen = 0;
    ASSERT_TRUE(WaitUntil([] { return pollsSeen >= 10; }));
    EXPECT_NE(paletteWindow, nullptr);
    EXPECT_TRUE(IsWindowVisible(paletteWindow));
    EXPECT_EQ(ReceivedWhenSettled(), L"");
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
        // The Done button is the navigation bar's "ok", which sends IDOK.
        EXPECT_TRUE(GetWindowLongPtrW(about, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN) << "Done button";
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
        {"key 15", [](PaletteTest *) { injectedReply = 15; }},
        {"key q", [](PaletteTest *) { injectedReply = 113; }},
        {"caption OK", [](PaletteTest *) { PostMessageW(paletteWindow, WM_COMMAND, IDOK, 0); }},
        {"IDCANCEL", [](PaletteTest *) { PostMessageW(paletteDialog, WM_COMMAND, IDCANCEL, 0); }},
    };
    for (Way &way : ways) {
        SetForegroundWindow(receiver);
        StartPaletteHere();
        HWND menu = program.menuBar;
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
            ASSERT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_ALLINPUT), WAIT_OBJECT_0) << "a tick";
            continue;
        }
        bool tick = msg.message == WM_TIMER && msg.hwnd == paletteWindow && msg.wParam == 666;
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
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID p) WINAPI -> DWORD {
            static_cast<Answer *>(p)->text = AnswerMessageBox(L"Error");
            return 0;
        },
        &answer, 0, nullptr);
    ASSERT_TRUE(StartPalette(bare, SW_SHOW));
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    EXPECT_EQ(answer.text, L"SHCreateMenuBar Failed");
    EXPECT_EQ(program.menuBar, nullptr);
    EXPECT_EQ(paletteDialog, nullptr);
    SetForegroundWindow(paletteWindow);
    ASSERT_TRUE(WaitUntil([] { return GetForegroundWindow() == paletteWindow; }));
    injectedReply = 113;
    ASSERT_TRUE(WaitPaletteEnded()) << "a mapped key still ends the palette";
    EXPECT_EQ(ReceivedWhenSettled(), L"");
}

// Handles open on the object of this handle, in every process.
ULONG HandleCount(HANDLE handle)
{
    struct {
        ULONG attributes;
        ACCESS_MASK access;
        ULONG handles, pointers, reserved[10];
    } info = {};
    using QueryObject = LONG(WINAPI *)(HANDLE, int, void *, ULONG, ULONG *);
    auto query = reinterpret_cast<QueryObject>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject"));
    if (!query || query(handle, 0 /* basic information */, &info, sizeof(info), nullptr) != 0)
        return 0;
    return info.handles;
}

// Lets no window of this thread become the active one.
LRESULT CALLBACK NoActivation(int code, WPARAM wParam, LPARAM lParam)
{
    return code == HCBT_ACTIVATE ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

// A palette started while this one is still starting finds no window, waits
// for this one's, then brings it to the front and ends without a window of
// its own.
TEST_F(Palette, PaletteStartedMeanwhileWaitsThenBringsThisOneToTheFront)
{
    HINSTANCE inst = GetModuleHandleW(nullptr);
    ASSERT_FALSE(FindRunningPalette(inst)) << "this palette goes on, holding the start lock";
    HANDLE lock = OpenMutexW(SYNCHRONIZE, FALSE, L"Kadenza single instance");
    ASSERT_NE(lock, nullptr);
    ASSERT_EQ(HandleCount(lock), 2u) << "this palette's handle and this one";
    Program later = StartProgram(L"Kadenza.exe");
    // Its handle on the lock: it looked for a window, found none, and waits.
    EXPECT_TRUE(WaitUntil([&] { return HandleCount(lock) == 3; }, 20000));
    CloseHandle(lock);
    EXPECT_EQ(WaitProgram(later, 0), DWORD(STILL_ACTIVE));

    // This palette's window shows, with the receiver still in front.
    HHOOK hook = SetWindowsHookExW(WH_CBT, NoActivation, nullptr, GetCurrentThreadId());
    bool started = StartPalette(inst, SW_SHOWNOACTIVATE);
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(started);
    ASSERT_EQ(GetForegroundWindow(), receiver);

    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(WaitUntil([&] { return (code = WaitProgram(later, 0)) != STILL_ACTIVE; }, 20000));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitUntil([] { return GetForegroundWindow() == paletteWindow; }));
    int windows = 0;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"Kadenza", L"Kadenza"));)
        ++windows;
    EXPECT_EQ(windows, 1);
    KillProgram(later);
}

TEST_F(PaletteWithoutDevice, TapsStillTypeAndThePaletteEnds)
{
    StartPaletteHere();
    EXPECT_EQ(deviceHandle, INVALID_HANDLE_VALUE);
    // Ten polls made, each failing on the handle; none reached a driver.
    CeJournalStart();
    int failed = 0, made = 0;
    EXPECT_TRUE(WaitUntil([&] {
        for (const CeCall &call : CeJournalTake()) {
            made += call.function == L"DeviceIoControl";
            failed += call.function == L"DeviceIoControl" && !call.result;
        }
        return made >= 10;
    }));
    CeJournalStop();
    EXPECT_EQ(failed, made);
    EXPECT_TRUE(pollRequests.empty());
    Tap(21);
    ASSERT_TRUE(WaitPaletteEnded());
    EXPECT_TRUE(WaitUntil([&] { return Received() == L":-)"; })) << Narrow(Received());
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Corvane\\Pelorin"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, L"Drivers\\BuiltIn\\Pelorin")) << "the palette never writes it";
}

}  // namespace
