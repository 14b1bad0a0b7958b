/*
 * afxwin.h of the dialog framework (MFC for Windows CE, mfcce300), reduced to
 * the classes and members the control panel uses, with the framework's
 * signatures (reference pages of the classes named). Its message maps are
 * in afxmsg_.h, which the stand-in framework reads as well.
 */
#ifndef DEVICESDK_AFXWIN_H
#define DEVICESDK_AFXWIN_H

#include <windows.h>
#include "afxres.h"
#include "afxmsg_.h"

#define AFXAPI

class CWnd;
class CDC;
class CFont;
class CWinApp;

class CCmdTarget {
public:
    virtual ~CCmdTarget();

    DECLARE_MESSAGE_MAP()
};

/* CGdiObject, CBitmap, CFont, CDC */
class CGdiObject {
public:
    HGDIOBJ m_hObject;
    CGdiObject();
    virtual ~CGdiObject();
};

class CBitmap : public CGdiObject {
public:
    BOOL LoadBitmap(UINT nIDResource);
    operator HBITMAP() const;
};

class CFont : public CGdiObject {
public:
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename);
};

class CDC {
public:
    virtual COLORREF SetTextColor(COLORREF crColor);
};

/* CWnd */
class CWnd : public CCmdTarget {
public:
    HWND m_hWnd;
    CWnd();
    virtual ~CWnd();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    int GetDlgCtrlID() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    void SetFont(CFont *pFont, BOOL bRedraw = TRUE);
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = NULL, UINT nType = MB_OK);
    virtual BOOL DestroyWindow();

protected:
    afx_msg HBRUSH OnCtlColor(CDC *pDC, CWnd *pWnd, UINT nCtlColor);
    virtual void PostNcDestroy();
    DECLARE_MESSAGE_MAP()
};

/* CStatic, CButton, CComboBox, CEdit */
class CStatic : public CWnd {
public:
    HBITMAP SetBitmap(HBITMAP hBitmap);
};

class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int nCheck);
    UINT GetState() const;
};

class CComboBox : public CWnd {
public:
    void ResetContent();
    int AddString(LPCTSTR lpszString);
    int SetCurSel(int nSelect);
};

class CEdit : public CWnd {};

/* CDataExchange, DDX_Control, DDX_CBIndex */
class CDataExchange;
void AFXAPI DDX_Control(CDataExchange *pDX, int nIDC, CWnd &rControl);
void AFXAPI DDX_CBIndex(CDataExchange *pDX, int nIDC, int &index);

/* CDialog */
class CDialog : public CWnd {
public:
    CDialog();
    CDialog(UINT nIDTemplate, CWnd *pParentWnd = NULL);
    BOOL Create(UINT nIDTemplate, CWnd *pParentWnd = NULL);
    virtual int DoModal();
    virtual BOOL OnInitDialog();
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void GotoDlgCtrl(CWnd *pWndCtrl);

protected:
    virtual void DoDataExchange(CDataExchange *pDX);
    virtual void OnOK();
    virtual void OnCancel();
    DECLARE_MESSAGE_MAP()
};

/* CWinApp, AfxGetApp, AfxGetResourceHandle */
class CWinApp : public CCmdTarget {
public:
    CWinApp(LPCTSTR lpszAppName = NULL);
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    HICON LoadIcon(UINT nIDResource) const;
    CWnd *m_pMainWnd;

    DECLARE_MESSAGE_MAP()
};

CWinApp *AFXAPI AfxGetApp();
HINSTANCE AFXAPI AfxGetResourceHandle();

#endif
