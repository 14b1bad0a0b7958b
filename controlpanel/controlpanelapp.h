// The control panel's application object.
#ifndef CONTROLPANEL_CONTROLPANELAPP_H
#define CONTROLPANEL_CONTROLPANELAPP_H

#include "afxwin.h"

class ControlPanelApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

protected:
    void OnAbout();

    DECLARE_MESSAGE_MAP()
};

#endif
