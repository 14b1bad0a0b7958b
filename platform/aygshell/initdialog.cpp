// SHInitDialog: the shell's set-up of a dialog on the Pocket PC, which "is
// primarily used to create a full-screen dialog box with the OK button in
// the navigation bar" (reference pages SHInitDialog,
// https://learn.microsoft.com/en-us/previous-versions/windows/embedded/aa453713(v=msdn.10),
// SHINITDLGINFO, https://learn.microsoft.com/en-us/previous-versions/aa924964(v=msdn.10),
// and Full-Screen Dialog Boxes,
// https://learn.microsoft.com/en-us/previous-versions/ms912002(v=msdn.10)).
//
// The navigation bar across the top of the screen is the caption of the
// window in front: it shows that window's title and, when the window asks
// for it, the Done button as "ok". So a full-screen dialog covers the work
// area below the navigation bar at full width, with no frame or caption of
// its own, down to the menu bar along the screen's bottom:
// SHIDIF_SIZEDLGFULLSCREEN leaves room there for a menu bar, which
// SHIDIF_FULLSCREENNOMENUBAR "does not". SHIDIF_SIZEDLG fits the dialog
// "just above the menu bar" while the input panel is down, as it always is
// here.
//
// The Done button is the shell's: it shows while a window with
// WS_EX_CAPTIONOKBTN is in front, and tapping it sends that window IDOK
// (reference page SHDoneButton, whose SHDB_SHOW "adds WS_EX_CAPTIONOKBTN",
// https://learn.microsoft.com/en-us/previous-versions/aa930127(v=msdn.10)).
// The dialog is given that style; nothing is added inside it.
#include <windows.h>
#include <aygshell.h>
#include "shellmetrics.h"

namespace {

// Frame and caption bits that a full-screen dialog does without.
const LONG_PTR kFrameStyles = WS_CAPTION | WS_THICKFRAME;
const LONG_PTR kFrameExStyles = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;

void SizeFullScreen(HWND dialog, bool roomForMenuBar)
{
    SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) & ~kFrameStyles);
    SetWindowLongPtrW(dialog, GWL_EXSTYLE, GetWindowLongPtrW(dialog, GWL_EXSTYLE) & ~kFrameExStyles);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (roomForMenuBar)
        work.bottom -= kMenuBarHeight;
    SetWindowPos(dialog, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

extern "C" BOOL WINAPI SHInitDialog(PSHINITDLGINFO info)
{
    if (!info || !IsWindow(info->hDlg) || !(info->dwMask & SHIDIM_FLAGS))
        return FALSE;
    HWND dialog = info->hDlg;
    if (info->dwFlags & SHIDIF_FULLSCREENNOMENUBAR)
        SizeFullScreen(dialog, false);
    else if (info->dwFlags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN))
        SizeFullScreen(dialog, true);
    if (info->dwFlags & SHIDIF_DONEBUTTON)
        CeAddCaptionOkButton(dialog);
    // SHIDIF_SIPDOWN: there is no input panel on the desktop.
    return TRUE;
}
