// Dialogs from resource templates, modeless and modal, and the data exchange
// between their controls and members.
//
// As the framework's Pocket PC build, the one a Pocket PC program runs on:
// every dialog comes to the front full screen with the Done button, through
// the shell's SHInitDialog, when it initialises. The navigation bar then
// shows its title and "ok", which sends IDOK. A modal dialog wants no menu:
// it gets an empty menu bar of its own, over that of the window below it.
#include "afxwin.h"
#include "afxext.h"
#include "aygshell.h"

INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

BOOL CDialog::Create(UINT nIDTemplate, CWnd *pParentWnd)
{
    m_lpszTemplateName = MAKEINTRESOURCEW(nIDTemplate);
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    HWND hWnd = CreateDialogParamW(AfxGetResourceHandle(), m_lpszTemplateName,
                                   pParentWnd ? pParentWnd->m_hWnd : nullptr, AfxDlgProc,
                                   reinterpret_cast<LPARAM>(this));
    return hWnd != nullptr;
}

INT_PTR CDialog::DoModal()
{
    CWnd *parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    m_bModal = true;
    INT_PTR result = DialogBoxParamW(AfxGetResourceHandle(), m_lpszTemplateName, parent ? parent->m_hWnd : nullptr,
                                     AfxDlgProc, reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return result;
}

void CDialog::EndDialog(int nResult)
{
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog()
{
    if (m_bModal) {
        // The bar goes with the dialog; the framework keeps no object for it.
        CCeCommandBar emptyBar;
        emptyBar.Create(this);
    }
    UpdateData(FALSE);
    SHINITDLGINFO info = {SHIDIM_FLAGS, m_hWnd, SHIDIF_DONEBUTTON | SHIDIF_SIPDOWN | SHIDIF_SIZEDLGFULLSCREEN};
    ::SetForegroundWindow(m_hWnd);
    SHInitDialog(&info);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void *pExtra, AFX_CMDHANDLERINFO *pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // Commands (not control notifications) the dialog does not handle go on
    // to the application.
    if (nCode != CN_COMMAND || nID < 0x8000 || nID >= 0xF000)
        return FALSE;
    CWinApp *app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void AFXAPI DDX_Control(CDataExchange *pDX, int nIDC, CWnd &rControl)
{
    if (!rControl.m_hWnd)
        rControl.Attach(pDX->PrepareCtrl(nIDC));
}

void AFXAPI DDX_CBIndex(CDataExchange *pDX, int nIDC, int &index)
{
    HWND combo = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(combo, CB_SETCURSEL, index, 0);
}
