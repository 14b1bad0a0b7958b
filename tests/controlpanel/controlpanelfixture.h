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

extern const wchar_t kSettingsPath[];  // HKLM, as the test writes it
extern const wchar_t kVolumePath[];    // HKCU

class ControlPanel : public ::testing::Test, protected DialogDriver, protected DriverJournalCursor {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sets or removes the platform's click for hardware buttons.
    void SetSystemKeyClick(DWORD value);
    void RemoveSystemKeyClick();
    void StoreSettings(DWORD status, DWORD repeat, DWORD delay, DWORD sound, DWORD closeSk);

    // InitInstance as the framework runs it; the settings dialog's window.
    HWND Start();
    // Start, with the start-up's pushes and calls already looked at.
    HWND StartPastStartUp();
    // OK or Cancel on the dialog; the window is gone afterwards.
    void End(int command = IDOK);
    // ExitInstance as the framework runs it; then the application object goes.
    void Exit();

    // The picture shows bitmap id (compared pixel by pixel).
    bool PictureIs(int bitmapId) const;

    // The CE journal's calls since the last look.
    std::vector<CeCall> NewCalls() { return CeJournalTake(); }

    std::unique_ptr<ControlPanelApp> app;
};

// "RegSetValueExW STATUS=1"-style lines of the writes among calls, and the
// flushes and closes, in order: the registry side of a change at a glance.
std::vector<std::wstring> RegistryWrites(const std::vector<CeCall> &calls);

#endif
