// The bounded string functions of strsafe.h that the window-free routines use,
// with the documented results: the destination is always terminated within
// its size, and a cut is reported as STRSAFE_E_INSUFFICIENT_BUFFER.
#ifndef FUZZ_SHIM_STRSAFE_H
#define FUZZ_SHIM_STRSAFE_H

#include "windows.h"

#define STRSAFE_MAX_CCH 2147483647
#define STRSAFE_E_INSUFFICIENT_BUFFER ((HRESULT)0x8007007A)
#define STRSAFE_E_INVALID_PARAMETER ((HRESULT)0x80070057)

inline HRESULT StringCchLengthW(const wchar_t *psz, size_t cchMax, size_t *pcch)
{
    if (!psz || cchMax > STRSAFE_MAX_CCH) {
        if (pcch)
            *pcch = 0;
        return STRSAFE_E_INVALID_PARAMETER;
    }
    size_t n = 0;
    while (n < cchMax && psz[n])
        ++n;
    if (n == cchMax) {
        if (pcch)
            *pcch = 0;
        return STRSAFE_E_INVALID_PARAMETER;
    }
    if (pcch)
        *pcch = n;
    return S_OK;
}

// Copies src behind dest's first length units; cut to fit, always terminated.
inline HRESULT ShimCopyBehind(wchar_t *dest, size_t cchDest, size_t at, const wchar_t *src, size_t maxSrc)
{
    size_t i = 0;
    while (at + i + 1 < cchDest && i < maxSrc && src[i]) {
        dest[at + i] = src[i];
        ++i;
    }
    dest[at + i] = L'\0';
    return (i < maxSrc && src[i]) ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
}

inline HRESULT StringCchCopyW(wchar_t *dest, size_t cchDest, const wchar_t *src)
{
    if (cchDest == 0 || cchDest > STRSAFE_MAX_CCH)
        return STRSAFE_E_INVALID_PARAMETER;
    return ShimCopyBehind(dest, cchDest, 0, src, STRSAFE_MAX_CCH);
}

inline HRESULT StringCchCopyNW(wchar_t *dest, size_t cchDest, const wchar_t *src, size_t cchToCopy)
{
    if (cchDest == 0 || cchDest > STRSAFE_MAX_CCH || cchToCopy > STRSAFE_MAX_CCH)
        return STRSAFE_E_INVALID_PARAMETER;
    return ShimCopyBehind(dest, cchDest, 0, src, cchToCopy);
}

inline HRESULT StringCchCatW(wchar_t *dest, size_t cchDest, const wchar_t *src)
{
    size_t length = 0;
    if (cchDest == 0 || FAILED(StringCchLengthW(dest, cchDest, &length)))
        return STRSAFE_E_INVALID_PARAMETER;
    return ShimCopyBehind(dest, cchDest, length, src, STRSAFE_MAX_CCH);
}

#endif
