/*
 * newres.h as the device's projects include it in their resource scripts: the
 * resource compiler's names of the platform, the shell's menu-bar resource and
 * the plain dialog templates the device takes.
 */
#ifndef __NEWRES_H__
#define __NEWRES_H__

#ifdef RC_INVOKED
#include <windows.h>
#endif
#include <commctrl.h>
#include <aygshell.h>

/* The shell's menu-bar description is raw data that SHCreateMenuBar reads. */
#define SHMENUBAR RCDATA

#if !defined(WCEOLE_ENABLE_DIALOGEX)
#define DIALOGEX DIALOG DISCARDABLE
#endif

#ifdef IDC_STATIC
#undef IDC_STATIC
#endif
#define IDC_STATIC (-1)

#endif
