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

// Order of the first run's writes.
const SettingSlot kCreationOrder[] = {
    {kStatusSetting, &KeyboardSettings::status, nullptr},   {kRepeatSetting, &KeyboardSettings::repeat, nullptr},
    {kDelaySetting, &KeyboardSettings::delay, nullptr},     {kSoundSetting, &KeyboardSettings::sound, nullptr},
    {kCloseSkSetting, &KeyboardSettings::closeSk, nullptr},
};

// Order of reading an existing key.
const SettingSlot kReadingOrder[] = {
    {kRepeatSetting, &KeyboardSettings::repeat, nullptr},       {kDelaySetting, &KeyboardSettings::delay, nullptr},
    {kSoundSetting, &KeyboardSettings::sound, SoundStillValid}, {kCloseSkSetting, &KeyboardSettings::closeSk, nullptr},
    {kStatusSetting, &KeyboardSettings::status, nullptr},
};

LONG WriteSetting(const KeyboardSetting &setting, DWORD value)
{
    return RegSetValueExW(settingsKey, setting.name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                          kSettingSize);
}

// Points settingsKey at the key as it is now, creating it when it is gone
// (deleted while the dialog was open). Null when it can be neither.
void ReopenSettingsKey()
{
    if (settingsKey)
        RegCloseKey(settingsKey);
    settingsKey = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, 0, &settingsKey) == ERROR_SUCCESS)
        return;
    DWORD disposition;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, 0, nullptr, &settingsKey, &disposition)
        != ERROR_SUCCESS)
        settingsKey = nullptr;
}

// The five values as the dialog shows them, to rebuild a key made again.
KeyboardSettings inUse;

bool ReadSetting(const KeyboardSetting &setting, DWORD *value)
{
    DWORD size = kSettingSize;
    LONG rc = RegQueryValueExW(settingsKey, setting.name, nullptr, nullptr, reinterpret_cast<BYTE *>(value), &size);
    // Data shorter than a number counts as missing, like data longer than one.
    return rc == ERROR_SUCCESS && size == kSettingSize;
}

}  // namespace

void LoadKeyboardSettings(KeyboardSettings *settings)
{
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, 0, &settingsKey) != ERROR_SUCCESS) {
        // First run: the key and the five defaults.
        DWORD disposition;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, 0, nullptr, &settingsKey, &disposition)
            != ERROR_SUCCESS)
            settingsKey = nullptr;
        for (const SettingSlot &slot : kCreationOrder) {
            WriteSetting(slot.setting, slot.setting.defaultValue);
            settings->*slot.value = slot.setting.defaultValue;
        }
        settings->statusMissing = true;
        RegFlushKey(settingsKey);
        inUse = *settings;
        return;
    }

    settings->statusMissing = false;
    for (const SettingSlot &slot : kReadingOrder) {
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
    inUse = *settings;
}

void StoreSetting(const KeyboardSetting &setting, DWORD value)
{
    for (const SettingSlot &slot : kCreationOrder) {
        if (&slot.setting == &setting)
            inUse.*slot.value = value;
    }
    // A handle whose key was deleted under it takes no writes: the change
    // goes to the key as it is now, and a key made again gets all five
    // values in use, so that none of the user's earlier choices is lost.
    if (WriteSetting(setting, value) != ERROR_SUCCESS) {
        ReopenSettingsKey();
        for (const SettingSlot &slot : kCreationOrder)
            WriteSetting(slot.setting, inUse.*slot.value);
    }
    RegFlushKey(settingsKey);
}

void CloseSettings()
{
    RegFlushKey(settingsKey);
    RegCloseKey(settingsKey);
    settingsKey = nullptr;
}

bool IsSystemKeyClickOn()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyClickKeyPath, 0, 0, &key) != ERROR_SUCCESS)
        return false;
    DWORD value = 0;
    DWORD size = sizeof(value);
    LONG rc = RegQueryValueExW(key, kKeyClickValue, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && size == sizeof(value) && IsKeyClickValueOn(value);
}
