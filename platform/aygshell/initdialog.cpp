// SHInitDialog: sizes a dialog to its owner's area and gives it a Done
// control that sends IDOK.
//
// On the device a full-screen dialog covers the work area and the navigation
// bar shows "ok". Here the dialog covers its owner (or keeps its own size when
// that is larger) and carries a small "ok" button in its top-right corner.
#include <windows.h>
#include <aygshell.h>

namespace {
const int kDoneWidth = 30;
const int kDoneHeight = 18;
}  // namespace

extern "C" BOOL WINAPI SHInitDialog(PSHINITDLGINFO info)
{
    if (!info || !IsWindow(info->hDlg) || !(info->dwMask & SHIDIM_FLAGS))
        return FALSE;
    HWND dialog = info->hDlg;
    if (info->dwFlags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) {
        HWND owner = GetWindow(dialog, GW_OWNER);
        RECT area, own;
        GetWindowRect(dialog, &own);
        if (owner)
            GetWindowRect(owner, &area);
        else
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        int width = area.right - area.left, height = area.bottom - area.top;
        if (own.right - own.left > width)
            width = own.right - own.left;
        if (own.bottom - own.top > height)
            height = own.bottom - own.top;
        // Larger than its owner, it still stays on the screen, as the
        // device's full-screen dialogs do.
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        int left = area.left, top = area.top;
        if (left + width > work.right)
            left = work.right - width > work.left ? work.right - width : work.left;
        if (top + height > work.bottom)
            top = work.bottom - height > work.top ? work.bottom - height : work.top;
        SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if ((info->dwFlags & SHIDIF_DONEBUTTON) && !GetDlgItem(dialog, IDOK)) {
        RECT client;
        GetClientRect(dialog, &client);
        HWND done = CreateWindowExW(0, L"BUTTON", L"ok", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                    client.right - kDoneWidth - 2, 2, kDoneWidth, kDoneHeight, dialog,
                                    reinterpret_cast<HMENU>(UINT_PTR(IDOK)), GetModuleHandleW(nullptr), nullptr);
        SendMessageW(done, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    }
    // SHIDIF_SIPDOWN: there is no input panel on the desktop.
    return TRUE;
}
