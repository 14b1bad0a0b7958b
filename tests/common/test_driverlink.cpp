// The driver link, observed through the CE call journal and the stand-in
// device manager, in both of its forms.
#include <gtest/gtest.h>
#include "testsupport.h"
#include "cejournal.h"
#include "driverlink.h"

namespace {

const wchar_t kBuiltIn[] = L"Drivers\\BuiltIn\\Pelorin";
const std::wstring kBuiltInName = L"HKLM\\Drivers\\BuiltIn\\Pelorin";

// "Function path" of each journaled call, for comparing whole sequences.
std::vector<std::wstring> Steps(const std::vector<CeCall> &calls)
{
    std::vector<std::wstring> steps;
    for (const CeCall &c : calls)
        steps.push_back(c.function + L" " + c.path + (c.value.empty() ? L"" : L" " + c.value));
    return steps;
}

class DriverLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSystemState();
        deviceHandle = INVALID_HANDLE_VALUE;
        activationHandle = nullptr;
    }
    void TearDown() override { ReleaseDriverLink(); }
    // The program's handles closed and the driver unloaded, as before a start.
    void ReleaseDriverLink()
    {
        CeJournalStop();
        CeSetActivateFailure(nullptr);
        if (deviceHandle != INVALID_HANDLE_VALUE)
            CloseHandle(deviceHandle);
        deviceHandle = INVALID_HANDLE_VALUE;
        if (activationHandle)
            DeactivateDevice(activationHandle);
        activationHandle = nullptr;
        ResetSystemState();
    }
    // The driver loaded by someone else before the program starts.
    void LoadDriverElsewhere()
    {
        WriteTestBuiltInKey();
        activationHandle = ActivateDevice(kBuiltIn, 0);
        ASSERT_NE(activationHandle, nullptr);
    }
};

TEST_F(DriverLink, DeviceThatOpensAtOnceNeedsNoActivationNorRegistry)
{
    LoadDriverElsewhere();
    HANDLE loaded = activationHandle;
    for (DriverBringUp form : {BRINGUP_ENSURE_ACTIVE, BRINGUP_ACTIVATE_ONCE}) {
        CeJournalStart();
        HANDLE device = OpenKeyboardDevice(form);
        std::vector<CeCall> calls = CeJournalTake();
        ASSERT_NE(device, INVALID_HANDLE_VALUE);
        EXPECT_EQ(device, deviceHandle);
        EXPECT_EQ(Steps(calls), std::vector<std::wstring>({L"CreateFileW PLN1:"}));
        EXPECT_EQ(calls[0].type, DWORD(GENERIC_READ | GENERIC_WRITE));
        EXPECT_EQ(calls[0].size, 0u) << "no sharing";
        EXPECT_EQ(activationHandle, loaded) << "activation handle untouched";
        CloseHandle(deviceHandle);
        deviceHandle = INVALID_HANDLE_VALUE;
    }
}

TEST_F(DriverLink, SuccessfulActivationOpensTheDeviceASecondTimeWithoutRegistry)
{
    for (DriverBringUp form : {BRINGUP_ENSURE_ACTIVE, BRINGUP_ACTIVATE_ONCE}) {
        SCOPED_TRACE(form);
        WriteTestBuiltInKey();
        CeJournalStart();
        HANDLE device = OpenKeyboardDevice(form);
        std::vector<CeCall> calls = CeJournalTake();
        EXPECT_NE(device, INVALID_HANDLE_VALUE);
        ASSERT_EQ(Steps(calls),
                  std::vector<std::wstring>(
                      {L"CreateFileW PLN1:", L"ActivateDevice Drivers\\BuiltIn\\Pelorin", L"CreateFileW PLN1:"}));
        EXPECT_EQ(calls[0].result, LONG_PTR(INVALID_HANDLE_VALUE));
        EXPECT_EQ(calls[1].type, 0u) << "client info 0";
        EXPECT_NE(calls[1].result, 0);
        // Only the control panel's form keeps the activation handle.
        EXPECT_EQ(activationHandle,
                  form == BRINGUP_ENSURE_ACTIVE ? reinterpret_cast<HANDLE>(calls[1].result) : nullptr);
        // The driver stays loaded for everyone: its active entry is recorded.
        EXPECT_EQ(CountActiveKeyboardEntries(), 1);
        CloseHandle(deviceHandle);
        deviceHandle = INVALID_HANDLE_VALUE;
        DeactivateDevice(reinterpret_cast<HANDLE>(calls[1].result));
        activationHandle = nullptr;
        ResetSystemState();
    }
}

TEST_F(DriverLink, FailedActivationWithKeyPresentWritesNothing)
{
    // A key that exists but names a driver that cannot load.
    WriteTestBuiltInKey(L"Missing.dll");
    CeJournalStart();
    HANDLE device = OpenKeyboardDevice(BRINGUP_ENSURE_ACTIVE);
    std::vector<CeCall> calls = CeJournalTake();
    EXPECT_EQ(device, INVALID_HANDLE_VALUE);
    EXPECT_EQ(deviceHandle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(activationHandle, nullptr);
    EXPECT_EQ(Steps(calls),
              std::vector<std::wstring>({L"CreateFileW PLN1:", L"ActivateDevice Drivers\\BuiltIn\\Pelorin",
                                         L"RegOpenKeyExW " + kBuiltInName, L"RegCloseKey " + kBuiltInName,
                                         L"ActivateDevice Drivers\\BuiltIn\\Pelorin", L"CreateFileW PLN1:"}));
    EXPECT_EQ(calls[2].result, ERROR_SUCCESS);
    std::vector<BYTE> dll;
    ASSERT_TRUE(ReadRegistryBytes(HKEY_LOCAL_MACHINE, kBuiltIn, L"DLL", &dll));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t *>(dll.data())), L"Missing.dll") << "never corrected";
}

TEST_F(DriverLink, MissingKeyIsWrittenInOrderThenActivatedAgain)
{
    // A failed activation is 0 on CE 4.2 and INVALID_HANDLE_VALUE on CE 5.0:
    // either way the key is written and the driver activated again.
    for (HANDLE failure : {HANDLE(nullptr), INVALID_HANDLE_VALUE}) {
        SCOPED_TRACE(failure ? "INVALID_HANDLE_VALUE" : "0");
        CeSetActivateFailure(failure);
        CeJournalStart();
        HANDLE device = OpenKeyboardDevice(BRINGUP_ENSURE_ACTIVE);
        std::vector<CeCall> calls = CeJournalTake();
        EXPECT_NE(device, INVALID_HANDLE_VALUE);
        EXPECT_NE(activationHandle, nullptr);
        ASSERT_EQ(
            Steps(calls),
            std::vector<std::wstring>(
                {L"CreateFileW PLN1:", L"ActivateDevice Drivers\\BuiltIn\\Pelorin", L"RegOpenKeyExW " + kBuiltInName,
                 L"RegCreateKeyExW " + kBuiltInName, L"RegSetValueExW " + kBuiltInName + L" DLL",
                 L"RegSetValueExW " + kBuiltInName + L" Prefix", L"RegSetValueExW " + kBuiltInName + L" Index",
                 L"RegSetValueExW " + kBuiltInName + L" Order", L"RegFlushKey " + kBuiltInName,
                 L"RegCloseKey " + kBuiltInName, L"ActivateDevice Drivers\\BuiltIn\\Pelorin", L"CreateFileW PLN1:"}));
        EXPECT_NE(calls[2].result, ERROR_SUCCESS);
        EXPECT_EQ(calls[1].result, LONG_PTR(failure)) << "the first activation failed";

        struct Expected {
            DWORD type, size;
            std::vector<BYTE> data;
        };
        auto wide = [](const wchar_t *s, size_t bytes) {
            return std::vector<BYTE>(reinterpret_cast<const BYTE *>(s), reinterpret_cast<const BYTE *>(s) + bytes);
        };
        DWORD one = 1, three = 3;
        Expected expected[] = {{REG_SZ, 24, wide(L"Pelorin.dll", 24)},
                               {REG_SZ, 8, wide(L"PLN", 8)},
                               {REG_DWORD, 4, std::vector<BYTE>((BYTE *)&one, (BYTE *)&one + 4)},
                               {REG_DWORD, 4, std::vector<BYTE>((BYTE *)&three, (BYTE *)&three + 4)}};
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(calls[4 + i].value);
            EXPECT_EQ(calls[4 + i].type, expected[i].type);
            EXPECT_EQ(calls[4 + i].size, expected[i].size);
            EXPECT_EQ(calls[4 + i].data, expected[i].data);
        }
        EXPECT_EQ(CountActiveKeyboardEntries(), 1);
        ReleaseDriverLink();
    }
}

TEST_F(DriverLink, PaletteFormNeverWritesTheKey)
{
    CeJournalStart();
    HANDLE device = OpenKeyboardDevice(BRINGUP_ACTIVATE_ONCE);
    std::vector<CeCall> calls = CeJournalTake();
    EXPECT_EQ(device, INVALID_HANDLE_VALUE) << "the program runs on without the device";
    EXPECT_EQ(Steps(calls),
              std::vector<std::wstring>(
                  {L"CreateFileW PLN1:", L"ActivateDevice Drivers\\BuiltIn\\Pelorin", L"CreateFileW PLN1:"}));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltIn));
}

TEST_F(DriverLink, StarterFormLoadsWithoutOpeningTheDevice)
{
    WriteTestBuiltInKey();
    CeJournalStart();
    HANDLE loaded = EnsureDriverActive();
    std::vector<CeCall> calls = CeJournalTake();
    EXPECT_NE(loaded, nullptr);
    EXPECT_EQ(loaded, activationHandle);
    EXPECT_EQ(Steps(calls), std::vector<std::wstring>({L"ActivateDevice Drivers\\BuiltIn\\Pelorin"}));
    EXPECT_EQ(deviceHandle, INVALID_HANDLE_VALUE);
}

TEST_F(DriverLink, ActivatingAnActiveDeviceFails)
{
    LoadDriverElsewhere();
    EXPECT_EQ(ActivateDevice(kBuiltIn, 0), nullptr) << "one driver per device name";
    EXPECT_EQ(CountActiveKeyboardEntries(), 1);
}

}  // namespace
