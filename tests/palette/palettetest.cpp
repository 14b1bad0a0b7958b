#include "palettetest.h"
#include <deque>
#include "cejournal.h"
#include "controlcodes.h"
#include "driverlink.h"
#include "resource.h"

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
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == receiver && GetFocus() == receiverEdit; }));
}

void PaletteTest::TearDown()
{
    if (paletteWindow && IsWindow(paletteWindow))
        DestroyWindow(paletteWindow);
    PumpMessages(0);
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
    ASSERT_TRUE(WaitUntil([] { return GetForegroundWindow() == paletteWindow; }));
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
    PumpMessages(0);
    wchar_t text[1024] = {};
    GetWindowTextW(receiverEdit, text, 1024);
    return text;
}

std::wstring PaletteTest::ReceivedWhenSettled()
{
    SetForegroundWindow(receiver);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == receiver && GetFocus() == receiverEdit; }));
    TypeSettleMarker();
    std::wstring text;
    EXPECT_TRUE(WaitUntil([&] { return !(text = Received()).empty() && text.back() == kSettleMarker; }))
        << "the marker";
    if (!text.empty() && text.back() == kSettleMarker)
        text.pop_back();
    return text;
}

void PaletteTest::ClearReceived() { SetWindowTextW(receiverEdit, L""); }
