/*
 * The dialog framework, as much of it as a dialog-based program needs:
 * application object, windows and dialogs with message maps, the common
 * controls, data exchange, and the GDI objects used for control colours.
 * The names and behaviour are the framework's; the insides are kept small.
 */
#ifndef CEPLATFORM_AFXWIN_H
#define CEPLATFORM_AFXWIN_H

#include <windows.h>
#include "afxres.h"

#ifndef AFXAPI
#define AFXAPI __stdcall
#endif

class CCmdTarget;
class CWnd;
class CDialog;
class CDC;
class CFont;
class CWinApp;

// The framework's member, not the desktop's macro for MessageBoxW: one name in
// every source, whether its calls are routed or not.
#undef MessageBox

// ---- Message maps (the framework's own declarations) ----

#include "afxmsg_.h"

struct AFX_CMDHANDLERINFO {
    CCmdTarget *pTarget;
    AFX_PMSG pmf;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() {}
    // The framework's objects come from the C heap; a failed allocation is a
    // null pointer, so no exception support comes along.
    static void *operator new(size_t size) throw();
    static void *operator new(size_t, void *where) throw() { return where; }
    static void operator delete(void *object) throw();
    static void operator delete(void *, void *) throw() {}
    // Runs the handler the message maps name for this command; false when none
    // does. With pHandlerInfo, only says which handler that would be.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void *pExtra, AFX_CMDHANDLERINFO *pHandlerInfo);

    DECLARE_MESSAGE_MAP()
};

// ---- GDI objects ----

class CGdiObject {
public:
    HGDIOBJ m_hObject;
    CGdiObject() : m_hObject(NULL) {}
    virtual ~CGdiObject() { DeleteObject(); }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL DeleteObject();

private:
    CGdiObject(const CGdiObject &);
    CGdiObject &operator=(const CGdiObject &);
};

class CBitmap : public CGdiObject {
public:
    BOOL LoadBitmap(UINT nIDResource);
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CFont : public CGdiObject {
public:
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCWSTR lpszFacename);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    BOOL CreateSolidBrush(COLORREF crColor);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

// A drawing context the framework lends for the length of one message.
class CDC {
public:
    HDC m_hDC;
    CDC() : m_hDC(NULL) {}
    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    COLORREF SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
};

// ---- Windows ----

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd;

    CWnd() : m_hWnd(NULL) {}
    virtual ~CWnd();

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    static CWnd *FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon)
    {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon, reinterpret_cast<LPARAM>(hIcon)));
    }
    void SetFont(CFont *pFont, BOOL bRedraw = TRUE)
    {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? HFONT(*pFont) : NULL), bRedraw);
    }
    // The device's message box, whoever calls it.
    int MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption = NULL, UINT nType = MB_OK);
    virtual BOOL DestroyWindow();

    // The framework's own answer to the message being handled.
    LRESULT Default();

    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Reached through ON_WM_CTLCOLOR in a message map.
    afx_msg HBRUSH OnCtlColor(CDC *pDC, CWnd *pWnd, UINT nCtlColor);

protected:
    virtual void OnNcDestroy();
    virtual void PostNcDestroy() {}

    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);

private:
    CWnd(const CWnd &);
    CWnd &operator=(const CWnd &);
};

#define CTLCOLOR_MSGBOX 0
#define CTLCOLOR_EDIT 1
#define CTLCOLOR_LISTBOX 2
#define CTLCOLOR_BTN 3
#define CTLCOLOR_DLG 4
#define CTLCOLOR_SCROLLBAR 5
#define CTLCOLOR_STATIC 6

// ---- Controls ----

class CStatic : public CWnd {
public:
    HBITMAP SetBitmap(HBITMAP hBitmap)
    {
        return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
    }
    HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
};

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, nCheck); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
};

class CComboBox : public CWnd {
public:
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int AddString(LPCWSTR lpszString)
    {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
    }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int nSelect) { return static_cast<int>(SendMessage(CB_SETCURSEL, nSelect)); }
};

class CEdit : public CWnd {};

// ---- Dialog data exchange ----

class CDataExchange {
public:
    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd *m_pDlgWnd;
    CDataExchange(CWnd *pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    HWND PrepareCtrl(int nIDC) { return ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC); }
};

void AFXAPI DDX_Control(CDataExchange *pDX, int nIDC, CWnd &rControl);
void AFXAPI DDX_CBIndex(CDataExchange *pDX, int nIDC, int &index);

// ---- Dialogs ----

class CDialog : public CWnd {
public:
    CDialog() : m_lpszTemplateName(NULL), m_pParentWnd(NULL), m_bModal(false) {}
    explicit CDialog(UINT nIDTemplate, CWnd *pParentWnd = NULL)
        : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_pParentWnd(pParentWnd), m_bModal(false)
    {}

    // Modeless: the window exists when this returns.
    BOOL Create(UINT nIDTemplate, CWnd *pParentWnd = NULL);
    // Modal: runs until EndDialog.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void GotoDlgCtrl(CWnd *pWndCtrl) { SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), TRUE); }

    virtual BOOL OnCmdMsg(UINT nID, int nCode, void *pExtra, AFX_CMDHANDLERINFO *pHandlerInfo);

protected:
    virtual void DoDataExchange(CDataExchange *pDX) {}
    virtual void OnOK();
    virtual void OnCancel();

    LPCWSTR m_lpszTemplateName;
    CWnd *m_pParentWnd;
    bool m_bModal;

    DECLARE_MESSAGE_MAP()
};

// ---- Application ----

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCWSTR lpszAppName = NULL);
    virtual ~CWinApp();

    virtual BOOL InitInstance() { return TRUE; }
    // Runs the message loop until the main window goes, then ExitInstance.
    virtual int Run();
    // Its result is the program's exit code.
    virtual int ExitInstance();
    virtual BOOL PreTranslateMessage(MSG *pMsg);

    HICON LoadIcon(UINT nIDResource) const;

    LPCWSTR m_pszAppName;
    HINSTANCE m_hInstance;
    CWnd *m_pMainWnd;
    MSG m_msgCur;
};

CWinApp *AFXAPI AfxGetApp();
HINSTANCE AFXAPI AfxGetInstanceHandle();
HINSTANCE AFXAPI AfxGetResourceHandle();
CWnd *AFXAPI AfxGetMainWnd();
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);

#endif
