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
typedef uint32_t UINT32;
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

#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L
#define ERROR_KEY_DELETED 1018L

// The registry, as the settings store calls it; the fuzz targets link a fake
// of it (fuzz/fakeregistry.cpp).
typedef struct FakeKeyHandle *HKEY;
typedef HKEY *PHKEY;
typedef DWORD REGSAM;
typedef DWORD *LPDWORD;
typedef BYTE *LPBYTE;
typedef const wchar_t *LPCWSTR;
typedef wchar_t *LPWSTR;
typedef struct _SECURITY_ATTRIBUTES *LPSECURITY_ATTRIBUTES;

#define HKEY_CLASSES_ROOT ((HKEY)(uintptr_t)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)
#define HKEY_USERS ((HKEY)(uintptr_t)0x80000003u)

#define REG_CREATED_NEW_KEY 1L
#define REG_OPENED_EXISTING_KEY 2L

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                     LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD size);
LONG RegFlushKey(HKEY key);
LONG RegCloseKey(HKEY key);
LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);

#endif
