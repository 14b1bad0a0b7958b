// The control panel's one window: the keyboard's settings, each change
// pushed to the driver and stored at once.
#ifndef CONTROLPANEL_SETTINGSDIALOG_H
#define CONTROLPANEL_SETTINGSDIALOG_H

#include "afxwin.h"
#include "afxext.h"
#include "resource.h"
#include "registrynames.h"

// The settings key, open while the settings dialog lives.
extern HKEY settingsKey;

// The platform's click for hardware buttons; off when it cannot be read.
bool IsSystemKeyClickOn();

class SettingsDialog : public CDialog {
public:
    enum { IDD = IDD_PELORIN_DIALOG };
    // Creates the window at once, modeless and without a parent.
    SettingsDialog();

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;

    void CreateCommandBar();
    void LoadSettings();
    void PushAllSettings();
    void EnableSettingControls();
    void DisableSettingControls();
    void UpdateDelayControls();
    void PushSetting(DWORD code, DWORD value);
    void StoreSetting(const KeyboardSetting &setting, DWORD value);
    bool ReadSetting(const KeyboardSetting &setting, DWORD *value);
    void WriteSetting(const KeyboardSetting &setting, DWORD value);
    void EndSettings();

    void OnEnable();
    void OnDisable();
    void OnClickSound();
    void OnCloseSoftKeyboard();
    void OnRepeatRate();
    void OnDelay();

    CStatic statusPicture;
    CButton enableButton;
    CButton disableButton;
    CStatic repeatLabel;
    CComboBox repeatList;
    CStatic delayLabel;
    CComboBox delayList;
    CButton clickSoundBox;
    CButton closeSoftKeyboardBox;
    CStatic testAreaLabel;
    CEdit testArea;

    int repeatIndex = -1;
    int delayIndex = -1;
    HICON appIcon;
    CCeCommandBar commandBar;
    CBitmap keyboardOnPicture;
    CBitmap keyboardOffPicture;

    DECLARE_MESSAGE_MAP()
};

#endif
