// Start-up and exit of the control panel: the driver link first, then the
// settings dialog as the main window; the device is closed on the way out.
#include <windows.h>
#include "controlpanelapp.h"
#include "aboutdialog.h"
#include "driverlink.h"
#include "resource.h"
#include "settingsdialog.h"

BEGIN_MESSAGE_MAP(ControlPanelApp, CWinApp)
    ON_COMMAND(ID_ABOUT, OnAbout)
END_MESSAGE_MAP()

BOOL ControlPanelApp::InitInstance()
{
    // Without the device the dialog still opens; its pushes then go nowhere.
    OpenKeyboardDevice(BRINGUP_ENSURE_ACTIVE);
    // Without memory for the dialog there is no main window; start-up still succeeds.
    m_pMainWnd = new SettingsDialog;
    return TRUE;
}

int ControlPanelApp::ExitInstance()
{
    if (deviceHandle != INVALID_HANDLE_VALUE)
        CloseHandle(deviceHandle);
    return CWinApp::ExitInstance();
}

void ControlPanelApp::OnAbout()
{
    AboutDialog about;
    about.DoModal();
}
