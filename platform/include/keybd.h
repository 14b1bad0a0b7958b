/*
 * keybd.h as a CE program sees it: the key state flags that
 * PostKeybdMessage takes with each character.
 */
#ifndef CEPLATFORM_KEYBD_H
#define CEPLATFORM_KEYBD_H

typedef UINT32 KEY_STATE_FLAGS;
#define KeyStateDownFlag 0x0080

#endif
