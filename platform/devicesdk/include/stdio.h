/* stdio.h of the device's C runtime (coredll): the bounded wide formatter. */
#ifndef DEVICESDK_STDIO_H
#define DEVICESDK_STDIO_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* _snwprintf (stdio.h): at most count units; no zero when the text fills
   them, -1 when it is longer. */
int _snwprintf(wchar_t *buffer, size_t count, const wchar_t *format, ...);

#ifdef __cplusplus
}
#endif

#endif
