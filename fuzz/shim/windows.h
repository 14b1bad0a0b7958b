// Just enough of windows.h for the window-free routines to build natively
// under the fuzzer. Built with -fshort-wchar, so wchar_t is 16 bits as on the
// device; the C library's wide functions assume 32 bits and must not be used.
#ifndef FUZZ_SHIM_WINDOWS_H
#define FUZZ_SHIM_WINDOWS_H

#include <stddef.h>
#include <stdint.h>

static_assert(sizeof(wchar_t) == 2, "build with -fshort-wchar");

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int BOOL;
typedef wchar_t WCHAR;
typedef int32_t HRESULT;

#define TRUE 1
#define FALSE 0

#define S_OK ((HRESULT)0)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#define ARRAYSIZE(a) (sizeof(a) / sizeof((a)[0]))

#define ERROR_SUCCESS 0L
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

#endif
