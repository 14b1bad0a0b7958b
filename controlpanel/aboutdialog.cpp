#include <windows.h>
#include "aboutdialog.h"

BEGIN_MESSAGE_MAP(AboutDialog, CDialog)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

void AboutDialog::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PRODUCT_NAME, productName);
}

BOOL AboutDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    productNameFont.CreateFont(16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    productName.SetFont(&productNameFont, TRUE);
    return TRUE;
}

HBRUSH AboutDialog::OnCtlColor(CDC *pDC, CWnd *pWnd, UINT nCtlColor)
{
    HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd->GetDlgCtrlID() == IDC_PRODUCT_NAME)
        pDC->SetTextColor(RGB(0xFF, 0, 0));
    return brush;
}
