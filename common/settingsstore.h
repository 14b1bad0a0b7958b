// The control panel's five keyboard settings in the settings key: read,
// checked and repaired, written, flushed. The key stays open while the
// settings dialog lives.
#ifndef COMMON_SETTINGSSTORE_H
#define COMMON_SETTINGSSTORE_H

#include <windows.h>
#include "registrynames.h"

// The settings key, open from LoadKeyboardSettings to CloseSettings.
extern HKEY settingsKey;

// The five settings as they are in use after loading.
struct KeyboardSettings {
    DWORD status;
    DWORD repeat;
    DWORD delay;
    DWORD sound;
    DWORD closeSk;
    bool statusMissing;  // "STATUS" was not stored (a first run too)
};

// Opens the settings key, or creates it with the five defaults; reads each
// setting, writes the default back for one that is missing or invalid, and
// flushes once. A key that can be neither opened nor created gives the
// defaults.
void LoadKeyboardSettings(KeyboardSettings *settings);

// One setting written as a 4-byte REG_DWORD, then the key flushed.
void StoreSetting(const KeyboardSetting &setting, DWORD value);
// Flushes and closes the key.
void CloseSettings();

// The platform's click for hardware buttons; off when it cannot be read.
bool IsSystemKeyClickOn();

#endif
