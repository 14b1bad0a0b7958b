// The settings dialog: loads and repairs the stored settings, shows them,
// pushes them all to the driver, then handles each change: push to the
// driver first, then store, then flush.
#include <windows.h>
#include "settingsdialog.h"
#include "controlcodes.h"
#include "driverlink.h"

HKEY settingsKey;

namespace {

// A check box state counts as checked when either low bit is set.
bool IsCheckedState(UINT state) { return (state & 3) != 0; }

void LoadResourceString(UINT id, wchar_t *text, int units)
{
    if (!LoadStringW(AfxGetResourceHandle(), id, text, units))
        text[0] = 0;
}

} // namespace

bool IsSystemKeyClickOn()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyClickKeyPath, 0, 0, &key) != ERROR_SUCCESS)
        return false;
    DWORD value = 0;
    DWORD size = sizeof(value);
    LONG rc = RegQueryValueExW(key, kKeyClickValue, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && size == sizeof(value) && IsKeyClickValueOn(value);
}

BEGIN_MESSAGE_MAP(SettingsDialog, CDialog)
    ON_BN_CLICKED(IDC_ENABLE, OnEnable)
    ON_BN_CLICKED(IDC_DISABLE, OnDisable)
    ON_BN_CLICKED(IDC_CLICK_SOUND, OnClickSound)
    ON_BN_CLICKED(IDC_CLOSE_SOFT_KEYBOARD, OnCloseSoftKeyboard)
    ON_CBN_SELCHANGE(IDC_REPEAT_RATE, OnRepeatRate)
    ON_CBN_SELCHANGE(IDC_DELAY, OnDelay)
END_MESSAGE_MAP()

SettingsDialog::SettingsDialog()
{
    appIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    Create(IDD, nullptr);
}

void SettingsDialog::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STATUS_PICTURE, statusPicture);
    DDX_Control(pDX, IDC_ENABLE, enableButton);
    DDX_Control(pDX, IDC_DISABLE, disableButton);
    DDX_Control(pDX, IDC_REPEAT_LABEL, repeatLabel);
    DDX_Control(pDX, IDC_REPEAT_RATE, repeatList);
    DDX_Control(pDX, IDC_DELAY_LABEL, delayLabel);
    DDX_Control(pDX, IDC_DELAY, delayList);
    DDX_Control(pDX, IDC_CLICK_SOUND, clickSoundBox);
    DDX_Control(pDX, IDC_CLOSE_SOFT_KEYBOARD, closeSoftKeyboardBox);
    DDX_Control(pDX, IDC_TEST_LABEL, testAreaLabel);
    DDX_Control(pDX, IDC_TEST_AREA, testArea);
    DDX_CBIndex(pDX, IDC_REPEAT_RATE, repeatIndex);
    DDX_CBIndex(pDX, IDC_DELAY, delayIndex);
}

BOOL SettingsDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    SetIcon(appIcon, TRUE);
    SetIcon(appIcon, FALSE);

    CreateCommandBar();

    wchar_t text[64];
    repeatList.ResetContent();
    for (UINT id = IDS_REPEAT_OFF; id <= IDS_REPEAT_FAST; ++id) {
        LoadResourceString(id, text, ARRAYSIZE(text));
        repeatList.AddString(text);
    }
    delayList.ResetContent();
    for (UINT id = IDS_DELAY_SHORT; id <= IDS_DELAY_LONG; ++id) {
        LoadResourceString(id, text, ARRAYSIZE(text));
        delayList.AddString(text);
    }

    keyboardOnPicture.LoadBitmap(IDB_KEYBOARD_ON);
    keyboardOffPicture.LoadBitmap(IDB_KEYBOARD_OFF);

    LoadSettings();
    PushAllSettings();

    // The focus is where LoadSettings put it.
    return FALSE;
}

void SettingsDialog::CreateCommandBar()
{
    if (!commandBar.m_hWnd && !commandBar.Create(this))
        return;
    commandBar.SendMessage(TB_SETBITMAPSIZE, 0, 0);
    commandBar.SendMessage(TB_SETBUTTONWIDTH, 0, MAKELPARAM(10, 100));

    // The string list takes a run of strings ended by an empty one.
    wchar_t about[64] = {};
    LoadResourceString(IDS_ABOUT, about, ARRAYSIZE(about) - 1);
    int aboutIndex = static_cast<int>(commandBar.SendMessage(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(about)));

    TBBUTTON button = {};
    button.iBitmap = -1;
    button.idCommand = ID_ABOUT;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = TBSTYLE_BUTTON;
    button.dwData = 0;
    button.iString = aboutIndex;
    commandBar.SendMessage(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));

    commandBar.AddAdornments(0);
}

bool SettingsDialog::ReadSetting(const KeyboardSetting &setting, DWORD *value)
{
    DWORD size = kSettingSize;
    LONG rc = RegQueryValueExW(settingsKey, setting.name, nullptr, nullptr, reinterpret_cast<BYTE *>(value), &size);
    // Data shorter than a number counts as missing, like data longer than one.
    return rc == ERROR_SUCCESS && size == kSettingSize;
}

void SettingsDialog::WriteSetting(const KeyboardSetting &setting, DWORD value)
{
    RegSetValueExW(settingsKey, setting.name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), kSettingSize);
}

void SettingsDialog::StoreSetting(const KeyboardSetting &setting, DWORD value)
{
    WriteSetting(setting, value);
    RegFlushKey(settingsKey);
}

void SettingsDialog::PushSetting(DWORD code, DWORD value)
{
    DWORD returned = 0;
    DeviceIoControl(deviceHandle, code, &value, sizeof(value), nullptr, 0, &returned, nullptr);
}

void SettingsDialog::LoadSettings()
{
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, 0, &settingsKey) != ERROR_SUCCESS) {
        // First run: the key and the five defaults.
        DWORD disposition;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, 0, nullptr, &settingsKey,
                            &disposition) != ERROR_SUCCESS)
            settingsKey = nullptr;
        WriteSetting(kStatusSetting, kStatusSetting.defaultValue);
        WriteSetting(kRepeatSetting, kRepeatSetting.defaultValue);
        WriteSetting(kDelaySetting, kDelaySetting.defaultValue);
        WriteSetting(kSoundSetting, kSoundSetting.defaultValue);
        WriteSetting(kCloseSkSetting, kCloseSkSetting.defaultValue);
        enableButton.EnableWindow(FALSE);
        repeatList.SetCurSel(kRepeatSetting.defaultValue);
        delayList.SetCurSel(kDelaySetting.defaultValue);
        clickSoundBox.SetCheck(BST_UNCHECKED);
        closeSoftKeyboardBox.SetCheck(BST_UNCHECKED);
        RegFlushKey(settingsKey);
        return;
    }

    DWORD value;
    if (!ReadSetting(kRepeatSetting, &value) || !IsValidSetting(kRepeatSetting, value)) {
        WriteSetting(kRepeatSetting, kRepeatSetting.defaultValue);
        repeatList.SetCurSel(kRepeatSetting.defaultValue);
    } else {
        repeatList.SetCurSel(value);
        if (value == 0) {
            delayLabel.EnableWindow(FALSE);
            delayList.EnableWindow(FALSE);
        }
    }

    if (!ReadSetting(kDelaySetting, &value) || !IsValidSetting(kDelaySetting, value)) {
        WriteSetting(kDelaySetting, kDelaySetting.defaultValue);
        delayList.SetCurSel(kDelaySetting.defaultValue);
    } else {
        delayList.SetCurSel(value);
    }

    // Click Sound shows on only while the platform's own click is on too.
    bool read = ReadSetting(kSoundSetting, &value);
    if (read && value == 1 && IsSystemKeyClickOn())
        clickSoundBox.SetCheck(BST_CHECKED);
    else if (!read || value != 0)
        WriteSetting(kSoundSetting, kSoundSetting.defaultValue);

    read = ReadSetting(kCloseSkSetting, &value);
    if (read && value == 1)
        closeSoftKeyboardBox.SetCheck(BST_CHECKED);
    else if (!read || value != 0)
        WriteSetting(kCloseSkSetting, kCloseSkSetting.defaultValue);

    if (!ReadSetting(kStatusSetting, &value)) {
        WriteSetting(kStatusSetting, kStatusSetting.defaultValue);
        enableButton.EnableWindow(FALSE);
    } else if (value == 0) {
        statusPicture.SetBitmap(keyboardOffPicture);
        DisableSettingControls();
        GotoDlgCtrl(&enableButton);
    } else {
        if (value != 1)
            WriteSetting(kStatusSetting, kStatusSetting.defaultValue);
        enableButton.EnableWindow(FALSE);
        GotoDlgCtrl(&testArea);
    }

    RegFlushKey(settingsKey);
}

void SettingsDialog::PushAllSettings()
{
    UpdateData(TRUE);
    DWORD state = KBD_STATE_OFF;
    if (!enableButton.IsWindowEnabled())
        state = IsCheckedState(clickSoundBox.GetState()) ? KBD_STATE_ON_WITH_CLICK : KBD_STATE_ON;
    PushSetting(IOCTL_KBD_SET_STATE, state);
    PushSetting(IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD, IsCheckedState(closeSoftKeyboardBox.GetState()) ? 1 : 0);
    PushSetting(IOCTL_KBD_SET_REPEAT_RATE, repeatIndex);
    PushSetting(IOCTL_KBD_SET_REPEAT_DELAY, delayIndex);
}

void SettingsDialog::EnableSettingControls()
{
    disableButton.EnableWindow(TRUE);
    repeatLabel.EnableWindow(TRUE);
    repeatList.EnableWindow(TRUE);
    UpdateDelayControls();
    clickSoundBox.EnableWindow(TRUE);
    closeSoftKeyboardBox.EnableWindow(TRUE);
    testAreaLabel.EnableWindow(TRUE);
    testArea.EnableWindow(TRUE);
}

void SettingsDialog::DisableSettingControls()
{
    disableButton.EnableWindow(FALSE);
    repeatLabel.EnableWindow(FALSE);
    repeatList.EnableWindow(FALSE);
    delayLabel.EnableWindow(FALSE);
    delayList.EnableWindow(FALSE);
    clickSoundBox.EnableWindow(FALSE);
    closeSoftKeyboardBox.EnableWindow(FALSE);
    testAreaLabel.EnableWindow(FALSE);
    testArea.EnableWindow(FALSE);
}

void SettingsDialog::UpdateDelayControls()
{
    BOOL repeating = repeatIndex != 0;
    delayLabel.EnableWindow(repeating);
    delayList.EnableWindow(repeating);
}

void SettingsDialog::OnEnable()
{
    UpdateData(TRUE);
    PushSetting(IOCTL_KBD_SET_STATE,
                clickSoundBox.GetCheck() == BST_CHECKED ? KBD_STATE_ON_WITH_CLICK : KBD_STATE_ON);
    StoreSetting(kStatusSetting, 1);
    statusPicture.SetBitmap(keyboardOnPicture);
    EnableSettingControls();
    enableButton.EnableWindow(FALSE);
    GotoDlgCtrl(&testArea);
}

void SettingsDialog::OnDisable()
{
    UpdateData(TRUE);
    PushSetting(IOCTL_KBD_SET_STATE, KBD_STATE_OFF);
    StoreSetting(kStatusSetting, 0);
    statusPicture.SetBitmap(keyboardOffPicture);
    DisableSettingControls();
    enableButton.EnableWindow(TRUE);
    GotoDlgCtrl(&enableButton);
}

void SettingsDialog::OnClickSound()
{
    UpdateData(TRUE);
    if (clickSoundBox.GetCheck() == BST_CHECKED) {
        clickSoundBox.SetCheck(BST_UNCHECKED);
        PushSetting(IOCTL_KBD_SET_STATE, KBD_STATE_ON);
        StoreSetting(kSoundSetting, 0);
    } else if (IsSystemKeyClickOn()) {
        PushSetting(IOCTL_KBD_SET_STATE, KBD_STATE_ON_WITH_CLICK);
        StoreSetting(kSoundSetting, 1);
        clickSoundBox.SetCheck(BST_CHECKED);
    } else {
        // The platform's click is off: send the user to its sound settings.
        clickSoundBox.SetCheck(BST_CHECKED);
        wchar_t text[128], caption[32];
        LoadResourceString(IDS_ENABLE_SOUNDS_FIRST, text, ARRAYSIZE(text));
        LoadResourceString(IDS_INFO, caption, ARRAYSIZE(caption));
        MessageBox(text, caption, MB_ICONINFORMATION | MB_OK);
        wchar_t soundSettings[] = L"cplmain.cpl, 9, 0";
        CreateProcessW(L"ctlpnl.exe", soundSettings, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, nullptr);
        GotoDlgCtrl(&clickSoundBox);
        clickSoundBox.SetCheck(BST_UNCHECKED);
    }
}

void SettingsDialog::OnCloseSoftKeyboard()
{
    UpdateData(TRUE);
    DWORD closing = closeSoftKeyboardBox.GetCheck() == BST_CHECKED ? 0 : 1;
    closeSoftKeyboardBox.SetCheck(closing ? BST_CHECKED : BST_UNCHECKED);
    PushSetting(IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD, closing);
    StoreSetting(kCloseSkSetting, closing);
}

void SettingsDialog::OnRepeatRate()
{
    UpdateData(TRUE);
    PushSetting(IOCTL_KBD_SET_REPEAT_RATE, repeatIndex);
    StoreSetting(kRepeatSetting, repeatIndex);
    UpdateDelayControls();
}

void SettingsDialog::OnDelay()
{
    UpdateData(TRUE);
    PushSetting(IOCTL_KBD_SET_REPEAT_DELAY, delayIndex);
    StoreSetting(kDelaySetting, delayIndex);
}

void SettingsDialog::EndSettings()
{
    RegFlushKey(settingsKey);
    RegCloseKey(settingsKey);
    settingsKey = nullptr;
    DestroyWindow();
}

void SettingsDialog::OnOK() { EndSettings(); }

void SettingsDialog::OnCancel() { EndSettings(); }

void SettingsDialog::PostNcDestroy() { delete this; }
