// The settings dialog: loads and repairs the stored settings, shows them,
// pushes them all to the driver, then handles each change: push to the
// driver first, then store, then flush.
#include <windows.h>
#include "settingsdialog.h"
#include "controlcodes.h"
#include "driverlink.h"
#include "boundedtext.h"

namespace {

// A check box state counts as checked when either low bit is set.
bool IsCheckedState(UINT state) { return (state & 3) != 0; }

void LoadResourceString(UINT id, wchar_t *text, int units)
{
    if (!LoadStringW(AfxGetResourceHandle(), id, text, units))
        text[0] = 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(SettingsDialog, CDialog)
    ON_BN_CLICKED(IDC_ENABLE, OnEnable)
    ON_BN_CLICKED(IDC_DISABLE, OnDisable)
    ON_BN_CLICKED(IDC_CLICK_SOUND, OnClickSound)
    ON_BN_CLICKED(IDC_CLOSE_SOFT_KEYBOARD, OnCloseSoftKeyboard)
    ON_CBN_SELCHANGE(IDC_REPEAT_RATE, OnRepeatRate)
    ON_CBN_SELCHANGE(IDC_DELAY, OnDelay)
END_MESSAGE_MAP()

SettingsDialog::SettingsDialog() : repeatIndex(-1), delayIndex(-1)
{
    appIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    Create(IDD, NULL);
}

void SettingsDialog::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    struct Binding {
        int id;
        CWnd &control;
    } bindings[] = {
        {IDC_STATUS_PICTURE, statusPicture},
        {IDC_ENABLE, enableButton},
        {IDC_DISABLE, disableButton},
        {IDC_REPEAT_LABEL, repeatLabel},
        {IDC_REPEAT_RATE, repeatList},
        {IDC_DELAY_LABEL, delayLabel},
        {IDC_DELAY, delayList},
        {IDC_CLICK_SOUND, clickSoundBox},
        {IDC_CLOSE_SOFT_KEYBOARD, closeSoftKeyboardBox},
        {IDC_TEST_LABEL, testAreaLabel},
        {IDC_TEST_AREA, testArea},
    };
    for (size_t i = 0; i < sizeof(bindings) / sizeof(bindings[0]); ++i)
        DDX_Control(pDX, bindings[i].id, bindings[i].control);
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
    UINT id;
    repeatList.ResetContent();
    for (id = IDS_REPEAT_OFF; id <= IDS_REPEAT_FAST; ++id) {
        LoadResourceString(id, text, COUNTOF(text));
        repeatList.AddString(text);
    }
    delayList.ResetContent();
    for (id = IDS_DELAY_SHORT; id <= IDS_DELAY_LONG; ++id) {
        LoadResourceString(id, text, COUNTOF(text));
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
    wchar_t about[64] = {0};
    LoadResourceString(IDS_ABOUT, about, COUNTOF(about) - 1);
    int aboutIndex = static_cast<int>(commandBar.SendMessage(TB_ADDSTRING, 0, reinterpret_cast<LPARAM>(about)));

    TBBUTTON button = {0};
    button.iBitmap = -1;
    button.idCommand = ID_ABOUT;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = TBSTYLE_BUTTON;
    button.dwData = 0;
    button.iString = aboutIndex;
    commandBar.SendMessage(TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(&button));

    commandBar.AddAdornments(0);
}

void SettingsDialog::PushSetting(DWORD code, DWORD value)
{
    DWORD returned = 0;
    DeviceIoControl(deviceHandle, code, &value, sizeof(value), NULL, 0, &returned, NULL);
}

void SettingsDialog::LoadSettings()
{
    KeyboardSettings settings;
    LoadKeyboardSettings(&settings);

    // Both are in range after loading: list indexes.
    repeatIndex = static_cast<int>(settings.repeat);
    repeatList.SetCurSel(repeatIndex);
    delayList.SetCurSel(static_cast<int>(settings.delay));
    UpdateDelayControls();
    clickSoundBox.SetCheck(settings.sound == 1 ? BST_CHECKED : BST_UNCHECKED);
    closeSoftKeyboardBox.SetCheck(settings.closeSk == 1 ? BST_CHECKED : BST_UNCHECKED);

    if (settings.status == 0) {
        statusPicture.SetBitmap(keyboardOffPicture);
        DisableSettingControls();
        GotoDlgCtrl(&enableButton);
        return;
    }
    enableButton.EnableWindow(FALSE);
    // A first run, or a status not stored, leaves the focus where it is.
    if (!settings.statusMissing)
        GotoDlgCtrl(&testArea);
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

void SettingsDialog::EnableSettingControls() { SetSettingControls(TRUE); }

void SettingsDialog::DisableSettingControls() { SetSettingControls(FALSE); }

void SettingsDialog::SetSettingControls(BOOL enable)
{
    // In the order they are switched; enabling leaves the delay's two to the
    // repeat rate.
    CWnd *controls[] = {&disableButton, &repeatLabel,          &repeatList,    &delayLabel, &delayList,
                        &clickSoundBox, &closeSoftKeyboardBox, &testAreaLabel, &testArea};
    for (size_t i = 0; i < COUNTOF(controls); ++i) {
        if (enable && controls[i] == &delayLabel)
            UpdateDelayControls();
        else if (!enable || controls[i] != &delayList)
            controls[i]->EnableWindow(enable);
    }
}

// The delay means nothing while the repeat rate is Off.
void SettingsDialog::UpdateDelayControls()
{
    BOOL repeating = repeatIndex != 0;
    delayLabel.EnableWindow(repeating);
    delayList.EnableWindow(repeating);
}

void SettingsDialog::OnEnable()
{
    UpdateData(TRUE);
    PushSetting(IOCTL_KBD_SET_STATE, clickSoundBox.GetCheck() == BST_CHECKED ? KBD_STATE_ON_WITH_CLICK : KBD_STATE_ON);
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
        LoadResourceString(IDS_ENABLE_SOUNDS_FIRST, text, COUNTOF(text));
        LoadResourceString(IDS_INFO, caption, COUNTOF(caption));
        MessageBox(text, caption, MB_ICONINFORMATION | MB_OK);
        wchar_t soundSettings[] = L"cplmain.cpl, 9, 0";
        CreateProcessW(L"ctlpnl.exe", soundSettings, NULL, NULL, FALSE, 0, NULL, NULL, NULL, NULL);
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
    CloseSettings();
    DestroyWindow();
}

void SettingsDialog::OnOK() { EndSettings(); }

void SettingsDialog::OnCancel() { EndSettings(); }

void SettingsDialog::PostNcDestroy() { delete this; }
