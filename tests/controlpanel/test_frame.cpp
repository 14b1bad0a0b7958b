// The control panel's frame in the test's own process: start-up through the
// driver link, the settings dialog as the main window, the command bar and
// its About box, and the device closed at exit only when it was open.
#include <thread>
#include "controlpanelfixture.h"
#include "driverlink.h"
#include "resource.h"
#include "settingsdialog.h"
#include <strsafe.h>

namespace {

// The face GDI really draws a font in, after any substitution.
std::wstring DrawnFace(HWND window, HFONT font)
{
    wchar_t face[LF_FACESIZE] = {};
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextFaceW(dc, ARRAYSIZE(face), face);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return face;
}

int CALLBACK NoteFamily(const LOGFONTW *font, const TEXTMETRICW *, DWORD, LPARAM found)
{
    *reinterpret_cast<std::wstring *>(found) = font->lfFaceName;
    return 0;
}

// The family of that name as GDI enumerates it; empty when it has none.
std::wstring InstalledFamily(const wchar_t *name)
{
    LOGFONTW wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    StringCchCopyW(wanted.lfFaceName, ARRAYSIZE(wanted.lfFaceName), name);
    std::wstring found;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &wanted, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

}  // namespace

TEST_F(ControlPanel, StartUpOpensTheDeviceFirstThenShowsTheSettingsDialog)
{
    // No built-in key: the link writes it and loads the driver.
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, L"Drivers\\BuiltIn\\Pelorin");
    ASSERT_NE(Start(), nullptr);
    std::vector<CeCall> calls = NewCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].function, L"CreateFileW");
    EXPECT_EQ(calls[0].path, L"PLN1:");
    // The link's work ends with the second open, before the settings key.
    size_t secondOpen = 0, settingsOpen = 0;
    for (size_t i = 1; i < calls.size(); ++i) {
        if (calls[i].function == L"CreateFileW" && !secondOpen)
            secondOpen = i;
        if (calls[i].path.find(L"Corvane") != std::wstring::npos && !settingsOpen)
            settingsOpen = i;
    }
    EXPECT_GT(secondOpen, 0u);
    EXPECT_GT(settingsOpen, secondOpen);
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, L"Drivers\\BuiltIn\\Pelorin"));
    EXPECT_EQ(CountActiveKeyboardEntries(), 1);
    EXPECT_NE(deviceHandle, INVALID_HANDLE_VALUE);

    // The main window is the settings dialog, visible, with its icon.
    ASSERT_NE(app->m_pMainWnd, nullptr);
    EXPECT_EQ(AfxGetMainWnd(), app->m_pMainWnd);
    wchar_t title[64] = {};
    GetWindowTextW(dialog, title, ARRAYSIZE(title));
    EXPECT_STREQ(title, L"Corvane Pelorin");
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetParent(dialog), nullptr);
    EXPECT_NE(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_EQ(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0));

    // Laid out and drawn in the device's Tahoma; its caption buttons are
    // Marlett's glyphs.
    EXPECT_EQ(InstalledFamily(L"Tahoma"), L"Tahoma");
    EXPECT_EQ(InstalledFamily(L"Marlett"), L"Marlett");
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(DrawnFace(dialog, font), L"Tahoma");
    EXPECT_EQ(DrawnFace(dialog, reinterpret_cast<HFONT>(
                                    SendMessageW(GetDlgItem(dialog, IDC_CLOSE_SOFT_KEYBOARD), WM_GETFONT, 0, 0))),
              L"Tahoma");
}

TEST_F(ControlPanel, CommandBarIsTheMenuBarBelowTheFullScreenDialogHoldingAbout)
{
    ASSERT_NE(Start(), nullptr);
    // The framework's Pocket PC build: the command bar is the shell's menu
    // bar along the foot of the work area, a window of its own that the
    // dialog owns, and the full-screen dialog covers the work area above it.
    RECT work, placed, barRect;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(GetDlgItem(dialog, 0xE800), nullptr) << "no bar inside the dialog";
    HWND bar = MenuBarOf(dialog);
    ASSERT_NE(bar, nullptr);
    GetWindowRect(bar, &barRect);
    RECT expectedBar = {work.left, work.bottom - 26, work.right, work.bottom};
    EXPECT_TRUE(EqualRect(&barRect, &expectedBar));
    GetWindowRect(dialog, &placed);
    RECT above = {work.left, work.top, work.right, barRect.top};
    EXPECT_TRUE(EqualRect(&placed, &above));

    TBBUTTON about = {};
    ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&about)));
    EXPECT_EQ(about.idCommand, ID_ABOUT);
    EXPECT_TRUE(about.fsState & TBSTATE_ENABLED);
    wchar_t text[32] = {};
    SendMessageW(bar, TB_GETBUTTONTEXTW, ID_ABOUT, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"About");
    // The adornments add nothing: the navigation bar's "ok" closes the dialog.
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 1);

    // The bar covers none of the eleven controls.
    int controls = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ++controls;
        RECT r;
        GetWindowRect(child, &r);
        EXPECT_LE(r.bottom, barRect.top) << "control " << GetDlgCtrlID(child) << " under the bar";
        EXPECT_TRUE(IsWindowVisible(child));
    }
    EXPECT_EQ(controls, 11);

    // The bar goes with the dialog.
    End(IDCANCEL);
    EXPECT_FALSE(IsWindow(bar));
}

TEST_F(ControlPanel, AboutIsRunByTheApplicationAsAModalBox)
{
    ASSERT_NE(Start(), nullptr);
    std::wstring name;
    bool modal = false, bold = false, red = false, othersPlain = false;
    int redPixels = 0, blackPixels = 0;
    LONG height = 0;
    std::wstring face;
    std::thread user([&] {
        HWND box = WaitForWindow(L"About Corvane Pelorin");
        if (!box)
            return;
        modal = !IsWindowEnabled(dialog);
        HWND product = GetDlgItem(box, IDC_PRODUCT_NAME);
        wchar_t text[128] = {};
        GetWindowTextW(product, text, ARRAYSIZE(text));
        name = text;
        LOGFONTW font = {};
        HFONT hfont = reinterpret_cast<HFONT>(SendMessageW(product, WM_GETFONT, 0, 0));
        if (hfont && GetObjectW(hfont, sizeof(font), &font)) {
            bold = font.lfWeight == FW_BOLD;
            height = font.lfHeight;
            face = font.lfFaceName;
        }
        // Ask the box for the colours of the name and of the OK button.
        HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, RGB(0, 0, 0));
        SendMessageW(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(product));
        red = GetTextColor(dc) == RGB(0xFF, 0, 0);
        SetTextColor(dc, RGB(0, 0, 0));
        SendMessageW(box, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        othersPlain = GetTextColor(dc) != RGB(0xFF, 0, 0);
        DeleteDC(dc);
        // Drawn in its own time: looked at until both show.
        WaitUntil([&] {
            redPixels = CountScreenPixels(box, RGB(0xFF, 0, 0));
            blackPixels = CountScreenPixels(box, RGB(0, 0, 0));
            return redPixels > 20 && blackPixels > 20;
        });
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitForWindowGone(box);
    });
    // A tap on the command bar's About: the dialog does not handle it; it goes
    // on to the application.
    EXPECT_TRUE(TapToolbarButton(MenuBarOf(dialog), ID_ABOUT));
    PumpMessages(0);
    user.join();
    EXPECT_TRUE(modal);
    EXPECT_EQ(name.find(L"Pelorin") != std::wstring::npos, true) << Narrow(name);
    EXPECT_TRUE(bold);
    EXPECT_EQ(height, 16);
    EXPECT_EQ(face, L"Tahoma");
    EXPECT_TRUE(red);
    EXPECT_TRUE(othersPlain);
    EXPECT_GT(redPixels, 20) << "the name drawn in red";
    EXPECT_GT(blackPixels, 20) << "the other lines in the window text colour";
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_TRUE(IsWindow(dialog)) << "the settings stay open";
}

TEST_F(ControlPanel, ExitClosesTheDeviceOnlyWhenItIsOpen)
{
    ASSERT_NE(Start(), nullptr);
    End();
    NewCalls();
    ASSERT_NE(deviceHandle, INVALID_HANDLE_VALUE);
    Exit();
    std::vector<CeCall> calls = NewCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].function, L"CloseHandle");
    EXPECT_EQ(calls[0].path, L"PLN1:");
    EXPECT_NE(calls[0].result, 0);

    // The driver cannot be loaded: nothing to close.
    DeactivateDevice(activationHandle);
    activationHandle = nullptr;
    ResetSystemState();
    WriteTestBuiltInKey(L"Missing.dll");
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(deviceHandle, INVALID_HANDLE_VALUE);
    End();
    NewCalls();
    Exit();
    EXPECT_TRUE(NewCalls().empty());
}

TEST_F(ControlPanel, MainWindowGoingEndsTheMessageLoopWithZero)
{
    ASSERT_NE(Start(), nullptr);
    NewCalls();
    // The framework's loop, run on this thread until the dialog goes.
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    int code = app->Run();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_FALSE(IsWindow(dialog));
    dialog = nullptr;
    std::vector<CeCall> calls = NewCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().function, L"CloseHandle") << "the exit closes the device last";
    EXPECT_EQ(calls.back().path, L"PLN1:");
    app.reset();
    deviceHandle = INVALID_HANDLE_VALUE;
}
