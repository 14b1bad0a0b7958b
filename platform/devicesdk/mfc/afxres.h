/* afxres.h of the dialog framework: ids shared with resources. */
#ifndef DEVICESDK_AFXRES_H
#define DEVICESDK_AFXRES_H

/* IDC_STATIC: the id of every static control that nothing addresses. */
#ifdef IDC_STATIC
#undef IDC_STATIC
#endif
#define IDC_STATIC (-1)

/* Control bars */
#define AFX_IDW_TOOLBAR 0xE800

#endif
