/* stddef.h of the device's C runtime: the types the shipped code uses. */
#ifndef DEVICESDK_STDDEF_H
#define DEVICESDK_STDDEF_H

/* size_t (stddef.h): 32 bits on the ARM device. */
typedef __SIZE_TYPE__ size_t;

/* NULL (stddef.h, windef.h) */
#ifndef NULL
#define NULL 0
#endif

#endif
