/* string.h of the device's C runtime (coredll): what the shipped code calls. */
#ifndef DEVICESDK_STRING_H
#define DEVICESDK_STRING_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* memcpy, memset (string.h) */
void *memcpy(void *dest, const void *src, size_t count);
void *memset(void *dest, int c, size_t count);

#ifdef __cplusplus
}
#endif

#endif
