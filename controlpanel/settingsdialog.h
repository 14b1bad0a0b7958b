// The control panel's one window: the keyboard's settings, each change
// pushed to the driver and stored at once.
#ifndef CONTROLPANEL_SETTINGSDIALOG_H
#define CONTROLPANEL_SETTINGSDIALOG_H

#include "afxwin.h"
#include "afxext.h"
#include "resource.h"
#include "settingsstore.h"

class SettingsDialog : public CDialog {
public:
    enum { IDD = IDD_PELORIN_DIALOG };
    // Creates the window at once, modeless and without a parent.
    SettingsDialog();

protected:
    virtual void DoDataExchange(CDataExchange *pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void PostNcDestroy();

    void CreateCommandBar();
    void LoadSettings();
    void PushAllSettings();
    void EnableSettingControls();
    void DisableSettingControls();
    // Both of the above: one list of the controls that follow the keyboard's state.
    void SetSettingControls(BOOL enable);
    void UpdateDelayControls();
    void PushSetting(DWORD code, DWORD value);
    void EndSettings();

    // Enable: keyboard on, click as the box shows.
    void OnEnable();
    // Disable: keyboard off, setting controls disabled.
    void OnDisable();
    // Click Sound: toggled, or the user sent to the platform's sound settings.
    void OnClickSound();
    // Close Software Keyboard: toggled.
    void OnCloseSoftKeyboard();
    // Repeat Rate chosen; Off also disables the delay.
    void OnRepeatRate();
    // Delay Until Repeat chosen.
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

    int repeatIndex;
    int delayIndex;
    HICON appIcon;
    CCeCommandBar commandBar;
    CBitmap keyboardOnPicture;
    CBitmap keyboardOffPicture;

    DECLARE_MESSAGE_MAP()
};

#endif
