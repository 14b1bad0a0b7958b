// The About box: product name in bold red, version and maker.
#ifndef CONTROLPANEL_ABOUTDIALOG_H
#define CONTROLPANEL_ABOUTDIALOG_H

#include "afxwin.h"
#include "resource.h"

class AboutDialog : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };
    AboutDialog() : CDialog(IDD) {}

protected:
    virtual void DoDataExchange(CDataExchange *pDX);
    virtual BOOL OnInitDialog();
    // The product name's line in red.
    afx_msg HBRUSH OnCtlColor(CDC *pDC, CWnd *pWnd, UINT nCtlColor);

    CStatic productName;
    CFont productNameFont;

    DECLARE_MESSAGE_MAP()
};

#endif
