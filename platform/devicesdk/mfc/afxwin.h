/*
 * afxwin.h of the dialog framework (MFC for Windows CE, mfcce300), reduced to
 * the classes and members the control panel uses, with the framework's
 * signatures (reference pages of the classes named). The message-map macros
 * take the framework's arguments; their expansion qualifies the member with
 * the map's class, which this compiler wants and the framework's takes.
 */
#ifndef DEVICESDK_AFXWIN_H
#define DEVICESDK_AFXWIN_H

#include <windows.h>
#include "afxres.h"

#define AFXAPI
#define afx_msg

class CCmdTarget;
class CWnd;
class CDC;
class CFont;
class CWinApp;

/* Message maps: DECLARE_MESSAGE_MAP, BEGIN_MESSAGE_MAP, END_MESSAGE_MAP,
   ON_COMMAND, ON_BN_CLICKED, ON_CBN_SELCHANGE, ON_WM_CTLCOLOR */
typedef void (CCmdTarget::*AFX_PMSG)();

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    UINT nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP *(*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY *lpEntries;
};

#define WM_CTLCOLOR 0x0019
#define BN_CLICKED 0
#define CBN_SELCHANGE 1
#define CN_COMMAND 0

#define DECLARE_MESSAGE_MAP()                                                                                          \
protected:                                                                                                             \
    static const AFX_MSGMAP *GetThisMessageMap();                                                                      \
    virtual const AFX_MSGMAP *GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                         \
    const AFX_MSGMAP *theClass::GetMessageMap() const { return GetThisMessageMap(); }                                  \
    const AFX_MSGMAP *theClass::GetThisMessageMap()                                                                    \
    {                                                                                                                  \
        typedef theClass ThisClass;                                                                                    \
        typedef baseClass TheBaseClass;                                                                                \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                                              \
    {                                                                                                                  \
        0, 0, 0, 0, 0, 0                                                                                               \
    }                                                                                                                  \
    }                                                                                                                  \
    ;                                                                                                                  \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};                      \
    return &messageMap;                                                                                                \
    }

#define ON_COMMAND(id, memberFxn)                                                                                      \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), 0, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_CONTROL(code, id, memberFxn)                                                                                \
    {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), 0, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_WM_CTLCOLOR()                                                                                               \
    {WM_CTLCOLOR,                                                                                                      \
     0,                                                                                                                \
     0,                                                                                                                \
     0,                                                                                                                \
     0,                                                                                                                \
     reinterpret_cast<AFX_PMSG>(static_cast<HBRUSH (CWnd::*)(CDC *, CWnd *, UINT)>(&ThisClass::OnCtlColor))},

class CCmdTarget {
public:
    virtual ~CCmdTarget();

protected:
    static const AFX_MSGMAP *GetThisMessageMap();
    virtual const AFX_MSGMAP *GetMessageMap() const;
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
    static const AFX_MSGMAP *GetThisMessageMap();
    virtual const AFX_MSGMAP *GetMessageMap() const;
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
    static const AFX_MSGMAP *GetThisMessageMap();
    virtual const AFX_MSGMAP *GetMessageMap() const;
};

/* CWinApp, AfxGetApp, AfxGetResourceHandle */
class CWinApp : public CCmdTarget {
public:
    CWinApp(LPCTSTR lpszAppName = NULL);
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    HICON LoadIcon(UINT nIDResource) const;
    CWnd *m_pMainWnd;

protected:
    static const AFX_MSGMAP *GetThisMessageMap();
    virtual const AFX_MSGMAP *GetMessageMap() const;
};

CWinApp *AFXAPI AfxGetApp();
HINSTANCE AFXAPI AfxGetResourceHandle();

#endif
