// The 38 button texts: seeded with their defaults, loaded at start, saved
// from the EditDialog, and turned between caption form and plain text.
#include <windows.h>
#include "kadenza.h"
#include "resource.h"
#include "registrynames.h"

namespace {

void FormatValueName(wchar_t (&name)[16], int button) { wsprintfW(name, kButtonTextNameFormat, button); }

// A caption holds at most 127 units. A stored value that is longer, or has no
// zero within 128 units, shows its first 127 units, never half a character.
void KeepWithinCaption(wchar_t *text)
{
    text[kTextUnits - 1] = 0;
    int length = lstrlenW(text);
    if (length > 0 && IS_HIGH_SURROGATE(text[length - 1]))
        text[length - 1] = 0;
}

// A value longer than a caption: the desktop registry copies nothing into a
// buffer that is too small, so the value is read whole and its start kept.
void ReadOverlongText(HKEY key, const wchar_t *name, wchar_t *text)
{
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size <= kSavedTextSize)
        return;
    BYTE *whole = static_cast<BYTE *>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
    if (!whole)
        return;
    if (RegQueryValueExW(key, name, nullptr, nullptr, whole, &size) == ERROR_SUCCESS)
        CopyMemory(text, whole, kSavedTextSize);
    HeapFree(GetProcessHeap(), 0, whole);
}

} // namespace

void LoadButtonTexts(HWND dialog)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, 0, &key) != ERROR_SUCCESS) {
        DWORD disposition;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, 0, nullptr, &key, &disposition)
            != ERROR_SUCCESS)
            return;
    }

    wchar_t name[16];
    FormatValueName(name, 1);
    DWORD size = kDefaultTextSize;
    // "KZ1" marks the texts as seeded.
    if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        for (int n = 1; n <= kButtonCount; ++n) {
            FormatValueName(name, n);
            RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(DefaultButtonTexts[n - 1]),
                           kDefaultTextSize);
        }
    }

    for (int n = 1; n <= kButtonCount; ++n) {
        wchar_t text[kTextUnits] = {};
        FormatValueName(name, n);
        size = kSavedTextSize;
        if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(text), &size) == ERROR_MORE_DATA)
            ReadOverlongText(key, name, text);
        KeepWithinCaption(text);
        SetDlgItemTextW(dialog, IDC_BUTTON1 + n - 1, text);
    }
    RegFlushKey(key);
    RegCloseKey(key);
}

void SaveButtonTexts(HWND editDialog)
{
    HKEY key;
    bool open = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, 0, &key) == ERROR_SUCCESS;
    for (int n = 1; n <= kButtonCount; ++n) {
        wchar_t text[kTextUnits] = {};
        GetDlgItemTextW(editDialog, IDC_TWIN1 + n - 1, text, kTextUnits);
        SetDlgItemTextW(paletteDialog, IDC_BUTTON1 + n - 1, text);
        if (!open)
            continue;
        wchar_t name[16];
        FormatValueName(name, n);
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text), kSavedTextSize);
    }
    if (!open)
        return;
    RegFlushKey(key);
    RegCloseKey(key);
}

void UnescapeAmpersands(const wchar_t *source, wchar_t *result, size_t resultUnits)
{
    size_t out = 0;
    for (size_t i = 0; source[i] && out + 1 < resultUnits; ++i) {
        if (source[i] == L'&') {
            ++i;  // "&&" is one "&"; a lone final "&" is dropped
            if (!source[i])
                break;
        }
        result[out++] = source[i];
    }
    result[out] = 0;
}

void EscapeAmpersands(const wchar_t *source, wchar_t *result, size_t resultUnits)
{
    // An entry whose doubled ampersands would not fit keeps what fits, in
    // whole characters: never half of "&&" nor half of a surrogate pair.
    size_t out = 0;
    for (size_t i = 0; source[i]; ++i) {
        wchar_t unit = source[i];
        bool pair = IS_HIGH_SURROGATE(unit) && IS_LOW_SURROGATE(source[i + 1]);
        if (IS_HIGH_SURROGATE(unit) && !pair)
            continue;  // half a character: the edit box read cut it
        size_t need = (unit == L'&' || pair) ? 2 : 1;
        if (out + need + 1 > resultUnits)
            break;
        result[out++] = unit;
        if (unit == L'&')
            result[out++] = L'&';
        else if (pair)
            result[out++] = source[++i];
    }
    result[out] = 0;
}
