// Framework resource and command ids that programs share with their resources.
#ifndef CEPLATFORM_AFXRES_H
#define CEPLATFORM_AFXRES_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Control bars
#define AFX_IDW_TOOLBAR 0xE800

#endif
