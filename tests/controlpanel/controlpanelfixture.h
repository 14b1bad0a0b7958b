// The control panel run in the test's own process: the application object
// starts as the framework would start it, the test drives the dialog's
// controls, and the driver's and the registry's journals show what it did.
#ifndef TESTS_CONTROLPANEL_CONTROLPANELFIXTURE_H
#define TESTS_CONTROLPANEL_CONTROLPANELFIXTURE_H

#include <gtest/gtest.h>
#include <memory>
#include "cejournal.h"
#include "controlpanelapp.h"
#include "testsupport.h"

extern const wchar_t kSettingsPath[];   // HKLM, as the test writes it
extern const wchar_t kVolumePath[];     // HKCU

class ControlPanel : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sets or removes the platform's click for hardware buttons.
    void SetSystemKeyClick(DWORD value);
    void RemoveSystemKeyClick();
    void StoreSettings(DWORD status, DWORD repeat, DWORD delay, DWORD sound, DWORD closeSk);

    // InitInstance as the framework runs it; the settings dialog's window.
    HWND Start();
    // OK or Cancel on the dialog; the window is gone afterwards.
    void End(int command = IDOK);

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    void Click(int id);
    void Choose(int comboId, int index);
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    int Selection(int comboId) const { return static_cast<int>(SendMessageW(Item(comboId), CB_GETCURSEL, 0, 0)); }
    DWORD Stored(const wchar_t *name) const;
    bool IsStored(const wchar_t *name) const;
    // The picture shows bitmap id (compared pixel by pixel).
    bool PictureIs(int bitmapId) const;

    // Driver lines and the CE journal's calls since the last look.
    std::vector<std::string> NewDriverCalls();
    std::vector<CeCall> NewCalls() { return CeJournalTake(); }

    std::unique_ptr<ControlPanelApp> app;
    HWND dialog = nullptr;
    size_t driverSeen = 0;
};

// "RegSetValueExW STATUS=1"-style lines of the writes among calls, and the
// flushes and closes, in order: the registry side of a change at a glance.
std::vector<std::wstring> RegistryWrites(const std::vector<CeCall> &calls);

#endif
