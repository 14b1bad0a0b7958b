#include "palettetest.h"
#include <deque>
#include "cejournal.h"
#include "controlcodes.h"
#include "driverlink.h"
#include "resource.h"

const ButtonFacts kButtons[38] = {
    {113, L"~", L"~", {3, 16, 11, 11}, {12, 36, 11, 11}},
    {119, L"#", L"#", {15, 14, 11, 11}, {24, 34, 11, 11}},
    {101, L"%", L"%", {27, 12, 11, 11}, {36, 32, 11, 11}},
    {114, L"^", L"^", {40, 11, 11, 11}, {49, 31, 11, 11}},
    {116, L"&&", L"&&", {54, 10, 11, 11}, {63, 30, 11, 11}},
    {121, L"*", L"*", {68, 10, 11, 11}, {77, 30, 11, 11}},
    {117, L"\u0060", L"\u0027", {81, 11, 11, 11}, {90, 31, 11, 11}},
    {105, L"=", L"=", {95, 12, 11, 11}, {103, 33, 11, 11}},
    {111, L"\u005C", L"\u005C", {108, 14, 11, 11}, {116, 34, 11, 11}},
    {112, L"\u007C", L"\u007C", {120, 16, 11, 11}, {128, 36, 11, 11}},
    {97, L";", L";", {3, 39, 11, 11}, {12, 60, 11, 11}},
    {115, L"<", L"<", {15, 37, 11, 11}, {24, 58, 11, 11}},
    {100, L">", L">", {27, 35, 11, 11}, {36, 56, 11, 11}},
    {102, L"{", L"{", {40, 34, 11, 11}, {49, 55, 11, 11}},
    {103, L"}", L"}", {54, 33, 11, 11}, {63, 54, 11, 11}},
    {104, L"[", L"[", {68, 33, 11, 11}, {77, 54, 11, 11}},
    {106, L"]", L"]", {81, 34, 11, 11}, {90, 55, 11, 11}},
    {107, L"", L"\u00A2", {95, 35, 11, 11}, {103, 56, 11, 11}},
    {108, L"", L"\u20AC", {108, 37, 11, 11}, {116, 58, 11, 11}},
    {11, L"", L"\u00A5", {120, 38, 11, 11}, {128, 60, 11, 11}},
    {122, L":-)", L":-)", {4, 61, 13, 11}, {14, 81, 13, 11}},
    {120, L":-(", L":-(", {18, 59, 13, 11}, {27, 79, 13, 11}},
    {99, L";)", L";)", {32, 57, 13, 11}, {41, 77, 13, 11}},
    {118, L":~(", L":~(", {46, 56, 13, 11}, {55, 76, 13, 11}},
    {98, L":O", L":O", {60, 55, 13, 11}, {69, 75, 13, 11}},
    {110, L":P", L":P", {74, 56, 13, 11}, {83, 76, 13, 11}},
    {109, L":D", L":D", {88, 57, 13, 11}, {97, 77, 13, 11}},
    {10, L":*", L":*", {102, 59, 13, 11}, {111, 79, 13, 11}},
    {12, L":x", L":x", {116, 61, 13, 11}, {125, 81, 13, 11}},
    {16, L"@.@", L"@.@", {7, 79, 22, 11}, {15, 100, 22, 11}},
    {27, L"~_~", L"~_~", {32, 77, 22, 11}, {40, 98, 22, 11}},
    {32, L"(^.^)", L"(^.^)", {56, 76, 22, 11}, {65, 96, 22, 11}},
    {5, L"~_~", L"$.$", {81, 77, 22, 11}, {90, 97, 22, 11}},
    {8, L"-_-...", L"-_-...", {106, 79, 22, 11}, {115, 100, 22, 11}},
    {18, L">_<", L">_<", {10, 93, 22, 11}, {17, 113, 22, 11}},
    {19, L"f-_-", L"f-_-", {36, 93, 22, 11}, {43, 113, 22, 11}},
    {20, L"*.*", L"*.*", {79, 93, 22, 11}, {88, 113, 22, 11}},
    {21, L"-_o;", L"-_o;", {104, 93, 22, 11}, {114, 113, 22, 11}},
};

std::wstring TypedDefault(int button) { return button == 5 ? L"&" : kButtons[button - 1].defaultText; }

std::vector<DWORD> pollRequests;
DWORD injectedReply;
DWORD keyReply;
int keyRepliesGiven;

namespace {

std::deque<std::function<bool()>> steps;

void WatchPolls(DWORD code, const void *in, const void *out)
{
    if (code != IOCTL_KBD_POLL_PALETTE_KEY || !in)
        return;
    DWORD request = *static_cast<const DWORD *>(in);
    pollRequests.push_back(request);
    if (request == 1 && injectedReply && out) {
        *static_cast<DWORD *>(const_cast<void *>(out)) = injectedReply;
        injectedReply = 0;
    }
    if (keyReply && out) {
        *static_cast<DWORD *>(const_cast<void *>(out)) = keyReply;
        ++keyRepliesGiven;
    }
    if (!steps.empty() && steps.front()())
        steps.pop_front();
}

const wchar_t kReceiverClass[] = L"PaletteTestReceiver";

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
        SetFocus(GetWindow(window, GW_CHILD));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void AddStep(std::function<bool()> step) { steps.push_back(std::move(step)); }
bool StepsDone() { return steps.empty(); }

HWND FindDialogWith(int controlId)
{
    struct Search {
        int id;
        HWND found;
    } search = {controlId, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) CALLBACK -> BOOL {
            Search *s = reinterpret_cast<Search *>(p);
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            if (!lstrcmpW(cls, L"#32770") && IsWindowVisible(w) && GetDlgItem(w, s->id)) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Click(HWND dialog, int controlId)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

std::wstring ItemText(HWND dialog, int controlId)
{
    wchar_t text[512] = {};
    GetDlgItemTextW(dialog, controlId, text, 512);
    return text;
}

void PaletteTest::SetUp()
{
    ResetSystemState();
    if (withDriver)
        WriteTestBuiltInKey();
    pollRequests.clear();
    injectedReply = 0;
    keyReply = 0;
    keyRepliesGiven = 0;
    steps.clear();
    captureAllowed = 1;
    CeSetIoControlHook(WatchPolls);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kReceiverClass;
    RegisterClassW(&wc);
    receiver = CreateWindowExW(0, kReceiverClass, L"Receiver", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 80, 300, 200,
                               nullptr, nullptr, wc.hInstance, nullptr);
    receiverEdit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 280, 150, receiver,
                                   nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(receiver);
    SetFocus(receiverEdit);
    PumpMessages(50);
}

void PaletteTest::TearDown()
{
    if (paletteWindow && IsWindow(paletteWindow))
        DestroyWindow(paletteWindow);
    PumpMessages(20);
    CeSetIoControlHook(nullptr);
    CeJournalStop();
    DestroyWindow(receiver);
    steps.clear();
    ResetSystemState();
}

void PaletteTest::StartPaletteHere()
{
    HINSTANCE inst = GetModuleHandleW(nullptr);
    ASSERT_FALSE(FindRunningPalette(inst)) << "no palette runs yet";
    ASSERT_TRUE(StartPalette(inst, SW_SHOW));
    ASSERT_TRUE(WaitUntil([] { return GetForegroundWindow() == paletteWindow; }, 5000));
}

bool PaletteTest::WaitPaletteEnded(DWORD timeoutMs)
{
    return WaitUntil([] { return paletteWindow == nullptr; }, timeoutMs);
}

void PaletteTest::Tap(int button)
{
    PostMessageW(paletteDialog, WM_COMMAND, MAKEWPARAM(IDC_BUTTON1 + button - 1, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(paletteDialog, IDC_BUTTON1 + button - 1)));
}

std::wstring PaletteTest::Received()
{
    PumpMessages(30);
    wchar_t text[1024] = {};
    GetWindowTextW(receiverEdit, text, 1024);
    return text;
}

void PaletteTest::ClearReceived() { SetWindowTextW(receiverEdit, L""); }
