// The built PelorinSetup.dll: what the installer finds in it, and its hooks
// working through their exports.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include "testsupport.h"
#include "registrynames.h"
#include "driverlink.h"
#include "ce_setup.h"
#include "setuptestsupport.h"

namespace {

std::wstring DllPath() { return BinDir() + L"PelorinSetup.dll"; }

std::vector<BYTE> ReadWholeFile(const std::wstring &path)
{
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())
        bytes.clear();
    CloseHandle(file);
    return bytes;
}

// The headers of a PE image file, 32-bit (the device's word size) or 64-bit.
struct ImageHeaders {
    const IMAGE_FILE_HEADER *file = nullptr;
    const IMAGE_DATA_DIRECTORY *exports = nullptr;
    const IMAGE_SECTION_HEADER *sections = nullptr;
};

bool ReadImageHeaders(const std::vector<BYTE> &image, ImageHeaders *headers)
{
    auto at = [&](size_t offset, size_t size) { return offset + size <= image.size(); };
    if (!at(0, sizeof(IMAGE_DOS_HEADER)))
        return false;
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(image.data());
    // Signature and file header lie alike in both forms; the optional header
    // that follows says which form the rest takes.
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || !at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS32)))
        return false;
    auto nt32 = reinterpret_cast<const IMAGE_NT_HEADERS32 *>(image.data() + dos->e_lfanew);
    auto nt64 = reinterpret_cast<const IMAGE_NT_HEADERS64 *>(nt32);
    if (nt32->Signature != IMAGE_NT_SIGNATURE)
        return false;
    headers->file = &nt32->FileHeader;
    if (nt32->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        headers->exports = &nt32->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    else if (nt32->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
             && at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS64)))
        headers->exports = &nt64->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    else
        return false;
    headers->sections = IMAGE_FIRST_SECTION(nt32);
    return at(reinterpret_cast<const BYTE *>(headers->sections) - image.data(),
              headers->file->NumberOfSections * sizeof(IMAGE_SECTION_HEADER));
}

// The image's word size is the one this test was built for.
bool IsNativeImage(const ImageHeaders &headers)
{
#ifdef _WIN64
    return headers.file->Machine == IMAGE_FILE_MACHINE_AMD64;
#else
    return headers.file->Machine == IMAGE_FILE_MACHINE_I386;
#endif
}

// The export directory of a PE image file, read from its headers.
struct ExportTable {
    DWORD functions = 0;
    std::vector<std::string> names;
};

bool ReadExportTable(const std::vector<BYTE> &image, ExportTable *table)
{
    auto at = [&](size_t offset, size_t size) { return offset + size <= image.size(); };
    ImageHeaders headers;
    if (!ReadImageHeaders(image, &headers) || !IsNativeImage(headers)
        || !(headers.file->Characteristics & IMAGE_FILE_DLL))
        return false;
    const IMAGE_DATA_DIRECTORY &dir = *headers.exports;
    auto fileOffset = [&](DWORD rva, size_t *offset) {
        for (WORD i = 0; i < headers.file->NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER &s = headers.sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData)) {
                *offset = rva - s.VirtualAddress + s.PointerToRawData;
                return true;
            }
        }
        return false;
    };
    size_t offset = 0;
    if (!dir.VirtualAddress || !fileOffset(dir.VirtualAddress, &offset) || !at(offset, sizeof(IMAGE_EXPORT_DIRECTORY)))
        return false;
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(image.data() + offset);
    table->functions = exports->NumberOfFunctions;
    size_t namesOffset = 0;
    if (exports->NumberOfNames && !fileOffset(exports->AddressOfNames, &namesOffset))
        return false;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (!at(namesOffset + size_t(4) * i, 4))
            return false;
        DWORD nameRva = *reinterpret_cast<const DWORD *>(image.data() + namesOffset + size_t(4) * i);
        size_t nameOffset = 0;
        if (!fileOffset(nameRva, &nameOffset))
            return false;
        std::string name;
        while (at(nameOffset, 1) && image[nameOffset])
            name += static_cast<char>(image[nameOffset++]);
        table->names.push_back(name);
    }
    return true;
}

// The names of the symbols defined in a section, from the COFF symbol table
// that the unstripped image carries, as the language names them.
bool ReadDefinedSymbols(const std::vector<BYTE> &image, std::vector<std::string> *names)
{
    ImageHeaders headers;
    if (!ReadImageHeaders(image, &headers))
        return false;
    size_t table = headers.file->PointerToSymbolTable;
    size_t count = headers.file->NumberOfSymbols;
    size_t strings = table + count * IMAGE_SIZEOF_SYMBOL;
    if (!table || strings + 4 > image.size())
        return false;
    // 32-bit x86 symbols carry a leading underscore.
    bool underscored = headers.file->Machine == IMAGE_FILE_MACHINE_I386;
    for (size_t i = 0; i < count; ++i) {
        IMAGE_SYMBOL symbol;
        CopyMemory(&symbol, image.data() + table + i * IMAGE_SIZEOF_SYMBOL, IMAGE_SIZEOF_SYMBOL);
        std::string name;
        if (symbol.N.Name.Short) {
            name.assign(reinterpret_cast<const char *>(symbol.N.ShortName), 8);
            name.resize(strnlen(name.c_str(), 8));
        } else {
            for (size_t at = strings + symbol.N.Name.Long; at < image.size() && image[at]; ++at)
                name += static_cast<char>(image[at]);
        }
        if (underscored && !name.empty() && name[0] == '_')
            name.erase(0, 1);
        if (symbol.SectionNumber > 0)
            names->push_back(name);
        i += symbol.NumberOfAuxSymbols;
    }
    return true;
}

std::wstring VersionString(const std::vector<BYTE> &info, const wchar_t *name)
{
    wchar_t *text = nullptr;
    UINT length = 0;
    std::wstring query = std::wstring(L"\\StringFileInfo\\040904e4\\") + name;
    if (!VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void **>(&text), &length) || !text)
        return L"<missing>";
    return text;
}

class SetupDll : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSystemState();
        DeleteShortcutFiles();
    }
    void TearDown() override
    {
        if (library)
            FreeLibrary(library);
        DeleteShortcutFiles();
        ResetSystemState();
        RemoveStandInInstallation(installDir);
    }
    HMODULE library = nullptr;
    std::wstring installDir;
};

TEST_F(SetupDll, ExportsExactlyTheFourHooksByName)
{
    ExportTable table;
    ASSERT_TRUE(ReadExportTable(ReadWholeFile(DllPath()), &table));
    EXPECT_EQ(table.functions, 4u);
    std::vector<std::string> names = table.names;
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, std::vector<std::string>({"Install_Exit", "Install_Init", "Uninstall_Exit", "Uninstall_Init"}));
}

TEST_F(SetupDll, CarriesNoStateOfTheDriverLink)
{
    // The library's own symbol table says what was linked in: the driver's
    // names from the registry vocabulary, none of the link's handles.
    std::vector<std::string> symbols;
    ASSERT_TRUE(ReadDefinedSymbols(ReadWholeFile(DllPath()), &symbols));
    auto has = [&](const char *name) { return std::find(symbols.begin(), symbols.end(), name) != symbols.end(); };
    ASSERT_TRUE(has("kBuiltInKeyPath"));
    EXPECT_TRUE(has("kKeyboardDeviceName"));
    EXPECT_TRUE(has("kInstallKeyPath"));
    EXPECT_FALSE(has("deviceHandle"));
    EXPECT_FALSE(has("activationHandle"));
    EXPECT_FALSE(has("builtInKey"));
}

TEST_F(SetupDll, CarriesItsVersion)
{
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeW(DllPath().c_str(), &unused);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(DllPath().c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void **>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 2));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_DLL));
    EXPECT_EQ(VersionString(info, L"FileDescription"), L"Corvane Pelorin Setup Dll");
}

TEST_F(SetupDll, HooksWorkThroughTheirExports)
{
    library = LoadLibraryW(DllPath().c_str());
    ASSERT_TRUE(library);
    // Found by the header's names, as the installer finds them.
    auto hook = [&](const TCHAR *name) { return GetProcAddress(library, Narrow(name).c_str()); };
    auto installInit = reinterpret_cast<pfnINSTALL_INIT>(hook(szINSTALL_INIT));
    auto installExit = reinterpret_cast<pfnINSTALL_EXIT>(hook(szINSTALL_EXIT));
    auto uninstallInit = reinterpret_cast<pfnUNINSTALL_INIT>(hook(szUNINSTALL_INIT));
    auto uninstallExit = reinterpret_cast<pfnUNINSTALL_EXIT>(hook(szUNINSTALL_EXIT));
    ASSERT_TRUE(installInit && installExit && uninstallInit && uninstallExit);

    // Refusal.
    CreateShortcutFiles();
    {
        BoxWatcher watcher;
        EXPECT_EQ(installInit(nullptr, TRUE, TRUE, nullptr), codeINSTALL_INIT_CANCEL);
        std::vector<BoxWatcher::Box> boxes = watcher.Stop();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, L"Pelorin Installation");
        EXPECT_EQ(boxes[0].text,
                  L"Please remove the previously installed Corvane Pelorin first and then run the Setup again.");
    }
    EXPECT_EQ(CountShortcutFiles(), 6);
    // A fresh installation: the old shortcuts go.
    EXPECT_EQ(installInit(nullptr, TRUE, FALSE, nullptr), codeINSTALL_INIT_CONTINUE);
    EXPECT_EQ(CountShortcutFiles(), 0);

    // After installation: the program named by "InstallDir" and "\Pelorin",
    // found as Pelorin.exe (here the driver starter, which loads the driver).
    installDir = CreateStandInInstallation(L"PelorinSetupDllTest");
    ASSERT_FALSE(installDir.empty());
    EXPECT_EQ(installExit(nullptr, nullptr, 0, 0, 0, 0, 0), codeINSTALL_EXIT_DONE);
    ASSERT_TRUE(WaitUntil([] { return CountActiveKeyboardEntries() == 1; }, 20000));

    // Before removal the driver is unloaded; after it the keys go.
    EXPECT_EQ(uninstallInit(nullptr, nullptr), codeUNINSTALL_INIT_CONTINUE);
    EXPECT_EQ(CountActiveKeyboardEntries(), 0);
    EXPECT_EQ(DriverJournal(), std::vector<std::string>({"PLN_Init", "PLN_Deinit"}));
    WriteRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKeyPath, L"STATUS", 0);
    ASSERT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath));
    CreateShortcutFiles();
    EXPECT_EQ(uninstallExit(nullptr), codeUNINSTALL_EXIT_DONE);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSettingsKeyPath));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBuiltInKeyPath));
    EXPECT_EQ(CountShortcutFiles(), 0);
}

}  // namespace
