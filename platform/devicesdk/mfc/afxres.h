/* afxres.h of the dialog framework: ids shared with resources. */
#ifndef DEVICESDK_AFXRES_H
#define DEVICESDK_AFXRES_H

#define AFX_IDW_TOOLBAR 0xE800

#endif
