// Windows of the framework: the map from window handles to their objects,
// command routing through the message maps, and the dialog procedure that
// hands a dialog's messages to its object.
#include "afxwin.h"
#include <stdlib.h>
#include "windowtable.h"

namespace {
// The permanent map: a fixed table, so that the framework needs no allocation
// and no C++ library. A dialog and its controls take a few entries each.
WindowTable<CWnd *, 128> permanentMap;
// The message being handled, for Default().
struct {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
} lastSent;
}  // namespace

// ---- CCmdTarget ----

void *CCmdTarget::operator new(size_t size) throw() { return malloc(size); }

void CCmdTarget::operator delete(void *object) throw() { free(object); }

const AFX_MSGMAP *CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, &entries[0]};
    return &messageMap;
}

const AFX_MSGMAP *CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void *, AFX_CMDHANDLERINFO *pHandlerInfo)
{
    for (const AFX_MSGMAP *map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY *entry = map->lpEntries; entry->nMessage; ++entry) {
            if (entry->nMessage == WM_COMMAND && entry->nID == nID && entry->nCode == static_cast<UINT>(nCode)) {
                if (pHandlerInfo) {
                    pHandlerInfo->pTarget = this;
                    pHandlerInfo->pmf = entry->pfn;
                } else {
                    (this->*entry->pfn)();
                }
                return TRUE;
            }
        }
    }
    return FALSE;
}

// ---- CWnd ----

CWnd::~CWnd()
{
    if (m_hWnd)
        Detach();
}

CWnd *CWnd::FromHandlePermanent(HWND hWnd)
{
    auto *entry = permanentMap.Find(hWnd);
    return entry ? entry->value : nullptr;
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew)
        return FALSE;
    auto *entry = permanentMap.Add(hWndNew);
    if (!entry)
        return FALSE;
    m_hWnd = hWndNew;
    entry->value = this;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    auto *entry = permanentMap.Find(hWnd);
    if (entry && entry->value == this)
        permanentMap.Remove(entry);
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

// The stand-in box, as the device lays it out, for the framework's callers in
// the system and in the stand-ins alike.
int CWnd::MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType)
{
    return CeMessageBoxW(m_hWnd, lpszText, lpszCaption, nType);
}

LRESULT CWnd::Default() { return ::DefWindowProcW(lastSent.hWnd, lastSent.message, lastSent.wParam, lastSent.lParam); }

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Menus and accelerators send no control handle; their code is CN_COMMAND.
    int nCode = lParam ? HIWORD(wParam) : CN_COMMAND;
    return OnCmdMsg(LOWORD(wParam), nCode, nullptr, nullptr);
}

HBRUSH CWnd::OnCtlColor(CDC *pDC, CWnd *pWnd, UINT nCtlColor) { return reinterpret_cast<HBRUSH>(Default()); }

namespace {

typedef HBRUSH (CWnd::*CtlColorHandler)(CDC *, CWnd *, UINT);

// The OnCtlColor that a window's message maps name, or null.
CtlColorHandler FindCtlColorHandler(const AFX_MSGMAP *map)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
        for (const AFX_MSGMAP_ENTRY *entry = map->lpEntries; entry->nMessage; ++entry)
            if (entry->nMessage == WM_CTLCOLOR && entry->nSig == AfxSig_hDWw)
                return reinterpret_cast<CtlColorHandler>(entry->pfn);
    return nullptr;
}

}  // namespace

void CWnd::OnNcDestroy()
{
    // The main window going ends the program's message loop.
    CWinApp *app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    Detach();
    PostNcDestroy();
}

// ---- The dialog procedure ----

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd *wnd;
    if (message == WM_INITDIALOG) {
        wnd = reinterpret_cast<CDialog *>(lParam);
        wnd->Attach(hWnd);
        return static_cast<CDialog *>(wnd)->OnInitDialog();
    }
    wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd)
        return FALSE;
    auto saved = lastSent;
    lastSent = {hWnd, message, wParam, lParam};
    INT_PTR result = FALSE;
    switch (message) {
    case WM_COMMAND:
        result = wnd->OnCommand(wParam, lParam);
        break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        // Without ON_WM_CTLCOLOR the dialog manager gives its own colours.
        CtlColorHandler handler = FindCtlColorHandler(wnd->GetMessageMap());
        if (!handler)
            break;
        CDC dc;
        dc.m_hDC = reinterpret_cast<HDC>(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        CWnd temporary;
        CWnd *pWnd = CWnd::FromHandlePermanent(control);
        if (!pWnd) {
            temporary.m_hWnd = control;
            pWnd = &temporary;
        }
        result = reinterpret_cast<INT_PTR>((wnd->*handler)(&dc, pWnd, message - WM_CTLCOLORMSGBOX));
        temporary.m_hWnd = nullptr;
        break;
    }
    case WM_NCDESTROY:
        wnd->OnNcDestroy();
        break;
    }
    lastSent = saved;
    return result;
}
