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
    void DoDataExchange(CDataExchange *pDX) override;
    BOOL OnInitDialog() override;
    HBRUSH OnCtlColor(CDC *pDC, CWnd *pWnd, UINT nCtlColor) override;

    CStatic productName;
    CFont productNameFont;
};

#endif
