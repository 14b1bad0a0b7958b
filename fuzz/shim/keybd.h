// keybd.h for the native fuzz build: the key state flag a typed character
// carries.
#ifndef FUZZ_SHIM_KEYBD_H
#define FUZZ_SHIM_KEYBD_H

typedef UINT32 KEY_STATE_FLAGS;
#define KeyStateDownFlag 0x0080

#endif
