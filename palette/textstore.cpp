// The button-text store: its registry calls. What a stored value shows is
// decided from its bytes alone, in captiontext.cpp.
#include <windows.h>
#include "textstore.h"
#include "captiontext.h"

// A caption and a stored text share one buffer size.
typedef char CaptionHoldsAStoredText[kCaptionUnits == kTextUnits ? 1 : -1];

namespace {

void FormatValueName(wchar_t (&name)[16], int button) { wsprintfW(name, kButtonTextNameFormat, button); }

}  // namespace

HKEY OpenTextStore()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, 0, &key) != ERROR_SUCCESS)
        return NULL;
    return key;
}

HKEY OpenOrCreateTextStore()
{
    HKEY key = OpenTextStore();
    if (key)
        return key;
    DWORD disposition;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, NULL, 0, 0, NULL, &key, &disposition) != ERROR_SUCCESS)
        return NULL;
    return key;
}

void SeedButtonTexts(HKEY store)
{
    wchar_t name[16];
    FormatValueName(name, 1);
    DWORD size = kDefaultTextSize;
    if (RegQueryValueExW(store, name, NULL, NULL, NULL, &size) == ERROR_SUCCESS)
        return;
    for (int n = 1; n <= kButtonCount; ++n) {
        FormatValueName(name, n);
        RegSetValueExW(store, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(DefaultButtonTexts[n - 1]),
                       kDefaultTextSize);
    }
}

void ReadButtonText(HKEY store, int button, wchar_t (&caption)[kTextUnits])
{
    wchar_t name[16];
    FormatValueName(name, button);
    BYTE bytes[kSavedTextSize] = {0};
    DWORD size = kSavedTextSize;
    if (RegQueryValueExW(store, name, NULL, NULL, bytes, &size) != ERROR_MORE_DATA) {
        CaptionFromStoredBytes(bytes, sizeof(bytes), caption);
        return;
    }
    // The desktop registry copies nothing into a buffer that is too small,
    // so a longer value is read whole.
    BYTE *whole = NULL;
    if (RegQueryValueExW(store, name, NULL, NULL, NULL, &size) == ERROR_SUCCESS && size > kSavedTextSize)
        whole = static_cast<BYTE *>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
    if (whole && RegQueryValueExW(store, name, NULL, NULL, whole, &size) == ERROR_SUCCESS)
        CaptionFromStoredBytes(whole, size, caption);
    else
        CaptionFromStoredBytes(bytes, sizeof(bytes), caption);
    if (whole)
        HeapFree(GetProcessHeap(), 0, whole);
}

void WriteButtonText(HKEY store, int button, const wchar_t (&caption)[kTextUnits])
{
    wchar_t name[16];
    FormatValueName(name, button);
    RegSetValueExW(store, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(caption), kSavedTextSize);
}

void CloseTextStore(HKEY store)
{
    RegFlushKey(store);
    RegCloseKey(store);
}
