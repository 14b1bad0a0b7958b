/* afxres.h of the dialog framework: ids shared with resources. */
#ifndef DEVICESDK_AFXRES_H
#define DEVICESDK_AFXRES_H

/* IDC_STATIC: the id of every static control that nothing addresses. */
#ifdef IDC_STATIC
#undef IDC_STATIC
#endif
#define IDC_STATIC (-1)

/* Control bars: CBRS_TOP is aligned to the top, with a border below. */
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define AFX_IDW_TOOLBAR 0xE800

#endif
