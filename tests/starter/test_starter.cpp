// PelorinStart and the keyboard simulator, run as programs in the prefix.
#include <gtest/gtest.h>
#include "testsupport.h"
#include "cejournal.h"
#include "controlcodes.h"
#include "driverlink.h"

namespace {

const wchar_t kBuiltIn[] = L"Drivers\\BuiltIn\\Pelorin";

class Starter : public ::testing::Test {
protected:
    void SetUp() override { ResetSystemState(); }
    void TearDown() override { ResetSystemState(); }
};

std::wstring ReadString(const wchar_t *name, DWORD *type)
{
    std::vector<BYTE> data;
    if (!ReadRegistryBytes(HKEY_LOCAL_MACHINE, kBuiltIn, name, &data, type))
        return L"<missing>";
    return std::wstring(reinterpret_cast<const wchar_t *>(data.data()), data.size() / 2);
}

TEST_F(Starter, FreshDeviceGetsTheBuiltInKeyAndTheDriver)
{
    EXPECT_EQ(RunProgram(L"PelorinStart.exe", L"/ignored --options"), 0u);

    DWORD type = 0, value = 0;
    EXPECT_EQ(ReadString(L"DLL", &type), std::wstring(L"Pelorin.dll\0", 12)) << "sized with its zero";
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(ReadString(L"Prefix", &type), std::wstring(L"PLN\0", 4));
    EXPECT_EQ(type, DWORD(REG_SZ));
    ASSERT_TRUE(ReadRegistryDword(HKEY_LOCAL_MACHINE, kBuiltIn, L"Index", &value, &type));
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    ASSERT_TRUE(ReadRegistryDword(HKEY_LOCAL_MACHINE, kBuiltIn, L"Order", &value, &type));
    EXPECT_EQ(value, 3u);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(CountActiveKeyboardEntries(), 1);
    // The driver was loaded, never opened and sent nothing.
    EXPECT_EQ(DriverJournal(), std::vector<std::string>({"PLN_Init"}));
}

TEST_F(Starter, SecondRunWritesNothing)
{
    ASSERT_EQ(RunProgram(L"PelorinStart.exe"), 0u);
    // A marker the starter would overwrite if it wrote the key again.
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kBuiltIn, L"Order", 7);
    EXPECT_EQ(RunProgram(L"PelorinStart.exe"), 0u);
    DWORD order = 0;
    ASSERT_TRUE(ReadRegistryDword(HKEY_LOCAL_MACHINE, kBuiltIn, L"Order", &order));
    EXPECT_EQ(order, 7u);
    EXPECT_EQ(CountActiveKeyboardEntries(), 1) << "the loaded driver stays loaded once";
}

TEST_F(Starter, ExitsZeroWhenTheDriverCannotLoad)
{
    WriteTestBuiltInKey(L"Missing.dll");
    EXPECT_EQ(RunProgram(L"PelorinStart.exe"), 0u);
    EXPECT_EQ(CountActiveKeyboardEntries(), 0);
}

TEST_F(Starter, PressedKeyComesBackFromOneCapturingPoll)
{
    ASSERT_EQ(RunProgram(L"PelorinStart.exe"), 0u);
    ASSERT_EQ(RunProgram(L"plnkbd.exe", L"press q 15"), 0u);
    HANDLE device = CreateFileW(L"PLN1:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);

    auto poll = [&](DWORD request) {
        DWORD reply = 0, bytes = 0;
        DeviceIoControl(device, IOCTL_KBD_POLL_PALETTE_KEY, &request, 4, &reply, 4, &bytes, nullptr);
        return reply;
    };
    EXPECT_EQ(poll(0), 0u) << "not capturing: the key stays with the system";
    EXPECT_EQ(poll(1), 113u);
    EXPECT_EQ(poll(1), 15u);
    EXPECT_EQ(poll(1), 0u);
    EXPECT_EQ(poll(1), 0u);
    DWORD state = 2;
    EXPECT_TRUE(DeviceIoControl(device, IOCTL_KBD_SET_STATE, &state, 4, nullptr, 0, nullptr, nullptr));
    CloseHandle(device);

    std::string journal;
    ASSERT_EQ(RunProgram(L"plnkbd.exe", L"journal", &journal), 0u);
    EXPECT_EQ(journal, "PLN_Init\nPLN_Open\n"
                       "IOCTL_KBD_POLL_PALETTE_KEY 0 -> 0\n"
                       "IOCTL_KBD_POLL_PALETTE_KEY 1 -> 113\n"
                       "IOCTL_KBD_POLL_PALETTE_KEY 1 -> 15\n"
                       "IOCTL_KBD_POLL_PALETTE_KEY 1 -> 0 x2\n"
                       "IOCTL_KBD_SET_STATE 2\n"
                       "PLN_Close\n");

    EXPECT_EQ(RunProgram(L"plnkbd.exe", L"reset"), 0u);
    EXPECT_TRUE(DriverJournal().empty());
    EXPECT_NE(RunProgram(L"plnkbd.exe", L"press 127"), 0u) << "codes stop at 126";
    EXPECT_NE(RunProgram(L"plnkbd.exe", L"press Q"), 0u);
}

// The journal folds a run of identical calls as it writes: an idle palette's
// polls do not grow the driver's files, and readers still see every call.
TEST_F(Starter, RepeatedPollsLeaveTheJournalFileItsSize)
{
    ASSERT_EQ(RunProgram(L"PelorinStart.exe"), 0u);
    HANDLE device = CreateFileW(L"PLN1:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(GetWindowsDirectoryW(path, MAX_PATH));
    lstrcatW(path, L"\\PelorinSim\\journal.txt");
    auto fileSize = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        return GetFileAttributesExW(path, GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
    };
    auto poll = [&] {
        DWORD request = 0, reply = 0, bytes = 0;
        DeviceIoControl(device, IOCTL_KBD_POLL_PALETTE_KEY, &request, 4, &reply, 4, &bytes, nullptr);
    };
    for (int i = 0; i < 100; ++i)
        poll();
    DWORD hundredPolls = fileSize();
    for (int i = 100; i < 999; ++i)
        poll();
    EXPECT_GT(hundredPolls, 0u);
    EXPECT_EQ(fileSize(), hundredPolls) << "x100 and x999 take the same room";
    CloseHandle(device);

    std::vector<std::string> expected = {"PLN_Init", "PLN_Open"};
    expected.insert(expected.end(), 999, "IOCTL_KBD_POLL_PALETTE_KEY 0 -> 0");
    expected.push_back("PLN_Close");
    EXPECT_EQ(DriverJournal(), expected);
}

}  // namespace
