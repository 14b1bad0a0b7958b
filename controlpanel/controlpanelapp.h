// The control panel's application object.
#ifndef CONTROLPANEL_CONTROLPANELAPP_H
#define CONTROLPANEL_CONTROLPANELAPP_H

#include "afxwin.h"

class ControlPanelApp : public CWinApp {
public:
    virtual BOOL InitInstance();
    virtual int ExitInstance();

protected:
    void OnAbout();

    DECLARE_MESSAGE_MAP()
};

#endif
