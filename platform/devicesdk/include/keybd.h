/* keybd.h: the keyboard's key state flags, as PostKeybdMessage takes them. */
#ifndef DEVICESDK_KEYBD_H
#define DEVICESDK_KEYBD_H

/* KEY_STATE_FLAGS (keybd.h; reference page KEY_STATE_FLAGS) */
typedef UINT32 KEY_STATE_FLAGS;
/* KeyStateDownFlag (keybd.h): the key is down. */
#define KeyStateDownFlag 0x0080

#endif
