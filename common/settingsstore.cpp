#include <windows.h>
#include "settingsstore.h"

HKEY settingsKey;

namespace {

// How one setting is read and where it lands. A check, when given, may still
// refuse a number that is in range.
struct SettingSlot {
    const KeyboardSetting &setting;
    DWORD KeyboardSettings::*value;
    bool (*stillValid)(DWORD value);
};

// Click Sound is on only while the platform's own click is on too.
bool SoundStillValid(DWORD value) { return value != 1 || IsSystemKeyClickOn(); }

const int kSlotCount = 5;

// Order of the first run's writes.
const SettingSlot kCreationOrder[kSlotCount] = {
    {kStatusSetting, &KeyboardSettings::status, NULL},   {kRepeatSetting, &KeyboardSettings::repeat, NULL},
    {kDelaySetting, &KeyboardSettings::delay, NULL},     {kSoundSetting, &KeyboardSettings::sound, NULL},
    {kCloseSkSetting, &KeyboardSettings::closeSk, NULL},
};

// Order of reading an existing key.
const SettingSlot kReadingOrder[kSlotCount] = {
    {kRepeatSetting, &KeyboardSettings::repeat, NULL},          {kDelaySetting, &KeyboardSettings::delay, NULL},
    {kSoundSetting, &KeyboardSettings::sound, SoundStillValid}, {kCloseSkSetting, &KeyboardSettings::closeSk, NULL},
    {kStatusSetting, &KeyboardSettings::status, NULL},
};

// A write that fails (no key, or a key deleted under the handle) has no
// effect and is not tried again.
void WriteSetting(const KeyboardSetting &setting, DWORD value)
{
    RegSetValueExW(settingsKey, setting.name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), kSettingSize);
}

bool ReadSetting(const KeyboardSetting &setting, DWORD *value)
{
    DWORD size = kSettingSize;
    LONG rc = RegQueryValueExW(settingsKey, setting.name, NULL, NULL, reinterpret_cast<BYTE *>(value), &size);
    // Data shorter than a number counts as missing, like data longer than one.
    return rc == ERROR_SUCCESS && size == kSettingSize;
}

}  // namespace

void LoadKeyboardSettings(KeyboardSettings *settings)
{
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, 0, &settingsKey) != ERROR_SUCCESS) {
        // First run: the key and the five defaults.
        DWORD disposition;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, NULL, 0, 0, NULL, &settingsKey, &disposition)
            != ERROR_SUCCESS)
            settingsKey = NULL;
        for (int i = 0; i < kSlotCount; ++i) {
            const SettingSlot &slot = kCreationOrder[i];
            WriteSetting(slot.setting, slot.setting.defaultValue);
            settings->*slot.value = slot.setting.defaultValue;
        }
        settings->statusMissing = true;
        RegFlushKey(settingsKey);
        return;
    }

    settings->statusMissing = false;
    for (int i = 0; i < kSlotCount; ++i) {
        const SettingSlot &slot = kReadingOrder[i];
        DWORD value;
        bool read = ReadSetting(slot.setting, &value);
        if (!read && &slot.setting == &kStatusSetting)
            settings->statusMissing = true;
        if (!read || !IsValidSetting(slot.setting, value) || (slot.stillValid && !slot.stillValid(value))) {
            value = slot.setting.defaultValue;
            WriteSetting(slot.setting, value);
        }
        settings->*slot.value = value;
    }
    RegFlushKey(settingsKey);
}

void StoreSetting(const KeyboardSetting &setting, DWORD value)
{
    WriteSetting(setting, value);
    RegFlushKey(settingsKey);
}

void CloseSettings()
{
    RegFlushKey(settingsKey);
    RegCloseKey(settingsKey);
    settingsKey = NULL;
}

bool IsSystemKeyClickOn()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyClickKeyPath, 0, 0, &key) != ERROR_SUCCESS)
        return false;
    DWORD value = 0;
    DWORD size = sizeof(value);
    LONG rc = RegQueryValueExW(key, kKeyClickValue, NULL, NULL, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && size == sizeof(value) && IsKeyClickValueOn(value);
}
