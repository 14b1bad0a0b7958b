// The palette's dialogs from its own templates, laid out by the shell.
#include <windows.h>
#include <aygshell.h>
#include "kadenza.h"

LPCDLGTEMPLATEW FindDialogTemplate(int templateId)
{
    HRSRC found = FindResourceW(program.instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(program.instance, found) : NULL;
    return loaded ? static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)) : NULL;
}

INT_PTR RunDialog(int templateId, HWND parent, DLGPROC procedure)
{
    LPCDLGTEMPLATEW dialogTemplate = FindDialogTemplate(templateId);
    if (!dialogTemplate)
        return -1;
    return DialogBoxIndirectParamW(program.instance, dialogTemplate, parent, procedure, 0);
}

void InitShellDialog(HWND dialog)
{
    SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&info);
}
