#include "controlpanelfixture.h"
#include "driverlink.h"
#include "resource.h"
#include "settingsdialog.h"

const wchar_t kSettingsPath[] = L"Software\\Corvane\\Pelorin";
const wchar_t kVolumePath[] = L"ControlPanel\\Volume";

void ControlPanel::SetUp()
{
    ResetSystemState();
    WriteTestBuiltInKey();
    SetSystemKeyClick(0);
    deviceHandle = INVALID_HANDLE_VALUE;
    activationHandle = nullptr;
}

void ControlPanel::TearDown()
{
    if (dialog && IsWindow(dialog))
        End(IDCANCEL);
    CeJournalStop();
    if (app)
        Exit();
    deviceHandle = INVALID_HANDLE_VALUE;
    if (activationHandle)
        DeactivateDevice(activationHandle);
    activationHandle = nullptr;
    RemoveSystemKeyClick();
    ResetSystemState();
}

void ControlPanel::SetSystemKeyClick(DWORD value) { WriteRegistryDword(HKEY_CURRENT_USER, kVolumePath, L"Key", value); }

void ControlPanel::RemoveSystemKeyClick() { DeleteRegistryValue(HKEY_CURRENT_USER, kVolumePath, L"Key"); }

void ControlPanel::StoreSettings(DWORD status, DWORD repeat, DWORD delay, DWORD sound, DWORD closeSk)
{
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsPath, L"STATUS", status);
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsPath, L"REPEAT", repeat);
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsPath, L"DELAY", delay);
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsPath, L"SOUND", sound);
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsPath, L"CLOSESK", closeSk);
}

HWND ControlPanel::Start()
{
    app = std::make_unique<ControlPanelApp>();
    CeJournalStart();
    EXPECT_TRUE(app->InitInstance());
    dialog = app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    PumpMessages(0);
    return dialog;
}

HWND ControlPanel::StartPastStartUp()
{
    Start();
    NewDriverCalls();
    NewCalls();
    return dialog;
}

void ControlPanel::Exit()
{
    app->ExitInstance();
    app.reset();
    deviceHandle = INVALID_HANDLE_VALUE;
}

void ControlPanel::End(int command)
{
    SendMessageW(dialog, WM_COMMAND, command, 0);
    // The framework's loop would end here; take its quit message.
    PumpMessages(0);
}

static std::vector<BYTE> Pixels(HBITMAP bitmap)
{
    std::vector<BYTE> pixels;
    BITMAP info;
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return pixels;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = info.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    pixels.resize(size_t(info.bmWidth) * info.bmHeight * 4);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, info.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return pixels;
}

bool ControlPanel::PictureIs(int bitmapId) const
{
    HBITMAP shown = reinterpret_cast<HBITMAP>(SendMessageW(Item(IDC_STATUS_PICTURE), STM_GETIMAGE, IMAGE_BITMAP, 0));
    HBITMAP expected = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId));
    std::vector<BYTE> a = Pixels(shown), b = Pixels(expected);
    DeleteObject(expected);
    return !a.empty() && a == b;
}

std::vector<std::wstring> RegistryWrites(const std::vector<CeCall> &calls)
{
    std::vector<std::wstring> steps;
    const std::wstring settings = L"HKLM\\Software\\Corvane\\Pelorin";
    for (const CeCall &c : calls) {
        if (lstrcmpiW(c.path.c_str(), settings.c_str()))
            continue;
        if (c.function == L"RegSetValueExW") {
            DWORD value = 0;
            if (c.data.size() == sizeof(value))
                CopyMemory(&value, c.data.data(), sizeof(value));
            steps.push_back(c.value + L"=" + std::to_wstring(value)
                            + (c.type == REG_DWORD && c.size == 4 ? L"" : L" (not a 4-byte REG_DWORD)"));
        } else if (c.function == L"RegFlushKey" || c.function == L"RegCloseKey") {
            steps.push_back(c.function == L"RegFlushKey" ? L"flush" : L"close");
        }
    }
    return steps;
}
