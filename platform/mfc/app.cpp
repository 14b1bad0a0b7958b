// The application object and the framework's entry point: the program's one
// CWinApp starts, runs the message loop until its main window goes, and ends.
#include "afxwin.h"

namespace {
CWinApp *currentApp;
}

CWinApp::CWinApp(LPCWSTR lpszAppName)
    : m_pszAppName(lpszAppName), m_hInstance(GetModuleHandleW(nullptr)), m_pMainWnd(nullptr), m_msgCur()
{
    currentApp = this;
}

CWinApp::~CWinApp()
{
    if (currentApp == this)
        currentApp = nullptr;
}

BOOL CWinApp::PreTranslateMessage(MSG *pMsg)
{
    // Keyboard navigation of modeless dialogs.
    HWND root = GetAncestor(pMsg->hwnd, GA_ROOT);
    wchar_t cls[16];
    return root && GetClassNameW(root, cls, ARRAYSIZE(cls)) && !lstrcmpW(cls, L"#32770")
           && IsDialogMessageW(root, pMsg);
}

int CWinApp::Run()
{
    while (GetMessageW(&m_msgCur, nullptr, 0, 0) > 0) {
        if (!PreTranslateMessage(&m_msgCur)) {
            TranslateMessage(&m_msgCur);
            DispatchMessageW(&m_msgCur);
        }
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() { return m_msgCur.message == WM_QUIT ? static_cast<int>(m_msgCur.wParam) : 0; }

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
}

CWinApp *AFXAPI AfxGetApp() { return currentApp; }
HINSTANCE AFXAPI AfxGetInstanceHandle() { return currentApp ? currentApp->m_hInstance : GetModuleHandleW(nullptr); }
HINSTANCE AFXAPI AfxGetResourceHandle() { return AfxGetInstanceHandle(); }
CWnd *AFXAPI AfxGetMainWnd() { return currentApp ? currentApp->m_pMainWnd : nullptr; }

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int)
{
    CWinApp *app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = hInstance;
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
