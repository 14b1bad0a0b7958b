// Reading and repairing the five keyboard settings, over a fake registry the
// input fills: the settings key present or missing (and creatable or not),
// each setting missing or stored with any type, size and bytes beside one of
// the palette's texts, and the platform's click key and value likewise.
// Checks that every setting in use is in range and is the number stored when
// that was valid (the default otherwise); that a valid stored setting is
// neither rewritten nor changed, except SOUND 1 with the platform's click off,
// which becomes 0; that every write is a 4-byte REG_DWORD in range to the
// settings key; that the load flushes exactly once and leaves only the
// settings key open; and that closing flushes once more and closes it.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "fakeregistry.h"
#include "settingsstore.h"
#include "../tests/support/systemfacts.h"

namespace {

// The five settings as the tests hold them, apart from the system's own
// table, each with the member that holds it in use.
struct Setting : SettingFacts {
    DWORD KeyboardSettings::*inUse;
};
const Setting kSettings[] = {
    {kSettingFacts[0], &KeyboardSettings::status},  {kSettingFacts[1], &KeyboardSettings::repeat},
    {kSettingFacts[2], &KeyboardSettings::delay},   {kSettingFacts[3], &KeyboardSettings::sound},
    {kSettingFacts[4], &KeyboardSettings::closeSk},
};
const wchar_t kKeyPath[] = L"Software\\Corvane\\Pelorin";
const wchar_t kClickPath[] = L"ControlPanel\\Volume";
const wchar_t kClickName[] = L"Key";
const wchar_t kTextName[] = L"KZ1";
const uint8_t kText[] = {'~', 0, 0, 0};

void Check(bool holds, const char *what)
{
    if (!holds) {
        fprintf(stderr, "property broken: %s\n", what);
        abort();
    }
}

struct Stored {
    bool present;
    DWORD type;
    std::vector<uint8_t> bytes;
};

DWORD Number(const std::vector<uint8_t> &bytes)
{
    DWORD number = 0;
    memcpy(&number, bytes.data(), sizeof(number));
    return number;
}

bool IsNumber(const Stored &value) { return value.present && value.bytes.size() == 4; }

// A value of any type and size; mostly a 4-byte number, often a small one.
Stored Draw(FuzzedDataProvider &input)
{
    uint8_t shape = input.ConsumeIntegral<uint8_t>();
    Stored value{(shape & 7) != 0, REG_DWORD, {}};
    if (shape & 8)
        value.type = input.ConsumeIntegral<DWORD>();
    if (shape & 0x10) {
        size_t size = input.ConsumeIntegralInRange<size_t>(0, 300);
        value.bytes = input.ConsumeBytes<uint8_t>(size);
        value.bytes.resize(size);
    } else {
        DWORD number = shape & 0x20 ? input.ConsumeIntegralInRange<DWORD>(0, 4) : input.ConsumeIntegral<DWORD>();
        value.bytes.resize(4);
        memcpy(value.bytes.data(), &number, 4);
    }
    return value;
}

bool Same(const fakeregistry::StoredValue &now, const Stored &before)
{
    return now.type == before.type && now.data == before.bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    fakeregistry::Reset();
    uint8_t flags = input.ConsumeIntegral<uint8_t>();
    bool keyExists = flags & 1, creatable = flags & 2, clickKey = flags & 4;
    Stored click = Draw(input);
    Stored stored[5];
    for (Stored &value : stored)
        value = Draw(input);

    if (keyExists) {
        fakeregistry::CreateKey(HKEY_LOCAL_MACHINE, kKeyPath);
        for (int i = 0; i < 5; ++i)
            if (stored[i].present)
                fakeregistry::PutValue(HKEY_LOCAL_MACHINE, kKeyPath, kSettings[i].name, stored[i].type,
                                       stored[i].bytes.data(), stored[i].bytes.size());
        fakeregistry::PutValue(HKEY_LOCAL_MACHINE, kKeyPath, kTextName, REG_SZ, kText, sizeof(kText));
    }
    if (clickKey) {
        fakeregistry::CreateKey(HKEY_CURRENT_USER, kClickPath);
        if (click.present)
            fakeregistry::PutValue(HKEY_CURRENT_USER, kClickPath, kClickName, click.type, click.bytes.data(),
                                   click.bytes.size());
    }
    fakeregistry::RefuseCreation(!creatable);
    bool clickOn = clickKey && IsNumber(click) && (Number(click.bytes) == 1 || Number(click.bytes) == 0x10002);

    KeyboardSettings settings;
    memset(&settings, 0xA5, sizeof(settings));
    LoadKeyboardSettings(&settings);

    bool keyNow = keyExists || creatable;
    Check(fakeregistry::KeyExists(HKEY_LOCAL_MACHINE, kKeyPath) == keyNow, "the key exists after loading");
    Check(fakeregistry::Flushes() == 1, "one flush");
    Check((settingsKey != nullptr) == keyNow, "the key is open exactly when it exists");
    Check(fakeregistry::OpenHandles() == (keyNow ? 1u : 0u), "only the settings key stays open");

    static const std::u16string keyPath = fakeregistry::PathOf(HKEY_LOCAL_MACHINE, kKeyPath);
    static const std::u16string names[5] = {
        fakeregistry::NameOf(kSettings[0].name), fakeregistry::NameOf(kSettings[1].name),
        fakeregistry::NameOf(kSettings[2].name), fakeregistry::NameOf(kSettings[3].name),
        fakeregistry::NameOf(kSettings[4].name),
    };
    for (const fakeregistry::WriteCall &write : fakeregistry::Writes()) {
        const Setting *setting = nullptr;
        for (int i = 0; i < 5; ++i)
            if (names[i] == write.name)
                setting = &kSettings[i];
        Check(setting != nullptr, "only the five settings are written");
        Check(write.result != ERROR_SUCCESS || write.keyPath == keyPath, "writes go to the settings key");
        Check(write.type == REG_DWORD && write.data.size() == 4, "writes are 4-byte REG_DWORD");
        Check(Number(write.data) <= setting->maxValue, "writes are in range");
    }

    bool statusRead = keyExists && IsNumber(stored[0]);
    Check(settings.statusMissing == !statusRead, "STATUS missing exactly when it could not be read");
    for (int i = 0; i < 5; ++i) {
        const Setting &setting = kSettings[i];
        DWORD inUse = settings.*setting.inUse;
        Check(inUse <= setting.maxValue, "setting in use in range");
        bool valid = keyExists && IsNumber(stored[i]) && Number(stored[i].bytes) <= setting.maxValue;
        bool soundOff = i == 3 && valid && Number(stored[i].bytes) == 1 && !clickOn;
        bool kept = valid && !soundOff;
        Check(inUse == (kept ? Number(stored[i].bytes) : setting.defaultValue), "setting in use");

        size_t writes = 0;
        for (const fakeregistry::WriteCall &write : fakeregistry::Writes())
            writes += write.name == names[i];
        Check(kept ? writes == 0 : writes >= 1, "only a missing or invalid setting is written");

        fakeregistry::StoredValue now;
        bool present = fakeregistry::GetValue(HKEY_LOCAL_MACHINE, kKeyPath, setting.name, &now);
        Check(present == keyNow, "every setting is stored after loading");
        if (!present)
            continue;
        if (kept) {
            Check(Same(now, stored[i]), "a valid setting stays as stored");
        } else {
            Check(now.type == REG_DWORD && now.data.size() == 4 && Number(now.data) == setting.defaultValue,
                  "a repaired setting is stored as its default");
        }
    }
    if (keyNow)
        Check(fakeregistry::ValueCount(HKEY_LOCAL_MACHINE, kKeyPath) == (keyExists ? 6u : 5u),
              "nothing else is stored in the settings key");
    fakeregistry::StoredValue text;
    Check(!keyExists
              || (fakeregistry::GetValue(HKEY_LOCAL_MACHINE, kKeyPath, kTextName, &text) && text.type == REG_SZ
                  && text.data == std::vector<uint8_t>(kText, kText + sizeof(kText))),
          "the palette's text is untouched");
    fakeregistry::StoredValue clickNow;
    Check(
        !clickKey || !click.present
            || (fakeregistry::GetValue(HKEY_CURRENT_USER, kClickPath, kClickName, &clickNow) && Same(clickNow, click)),
        "the platform's click is untouched");
    Check(fakeregistry::ValueCount(HKEY_CURRENT_USER, kClickPath) == (clickKey && click.present ? 1u : 0u),
          "nothing is written to the platform's click key");

    CloseSettings();
    Check(fakeregistry::Flushes() == 2, "closing flushes once");
    Check(fakeregistry::OpenHandles() == 0 && settingsKey == nullptr, "closing closes the key");
    fakeregistry::Reset();
    return 0;
}
