// Installing from an installer cabinet: the whole package is read and
// checked, and every target path worked out, before anything is written. A
// package that fails any check is refused with nothing installed.
#include "installer.h"

#include <shlobj.h>
#include <strsafe.h>
#include "cabinet.h"
#include "cecontrolfile.h"

namespace {

using cecab::Cabinet;
using cecab::ControlFile;

const uint16_t kControlFileNumber = 0;
const uint16_t kSetupLibraryNumber = 999;
// A file's flag: counted by the device, shared by the packages that list it.
const uint32_t kSharedFile = 0x80000000;
const size_t kMaxControlFile = size_t{64} * 1024;
const DWORD kMaxCabinet = 256 * 1024 * 1024;

// The device's standard folders (%CEn%) that exist on this desktop.
const struct {
    int number;
    int csidl;
} kStandardFolders[] = {
    {1, CSIDL_PROGRAM_FILES}, {2, CSIDL_WINDOWS},   {4, CSIDL_STARTUP},
    {5, CSIDL_PERSONAL},      {11, CSIDL_PROGRAMS}, {17, CSIDL_STARTMENU},
};

// The cabinet's bytes, read whole.
struct FileBytes {
    BYTE *data = nullptr;
    DWORD size = 0;
    ~FileBytes()
    {
        if (data)
            HeapFree(GetProcessHeap(), 0, data);
    }
};

bool ReadWholeFile(const wchar_t *path, FileBytes *bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kMaxCabinet;
    if (ok) {
        bytes->size = static_cast<DWORD>(size.QuadPart);
        bytes->data = static_cast<BYTE *>(HeapAlloc(GetProcessHeap(), 0, bytes->size ? bytes->size : 1));
        DWORD got = 0;
        ok = bytes->data && ReadFile(file, bytes->data, bytes->size, &got, nullptr) && got == bytes->size;
    }
    CloseHandle(file);
    return ok;
}

// Sinks for ExtractMember: into memory, or into a file.
struct MemorySink {
    uint8_t *to;
    size_t room, used;
};
bool ToMemory(void *context, const uint8_t *bytes, size_t count)
{
    MemorySink *sink = static_cast<MemorySink *>(context);
    if (count > sink->room - sink->used)
        return false;
    CopyMemory(sink->to + sink->used, bytes, count);
    sink->used += count;
    return true;
}
bool ToFile(void *context, const uint8_t *bytes, size_t count)
{
    DWORD written = 0;
    return WriteFile(static_cast<HANDLE>(context), bytes, static_cast<DWORD>(count), &written, nullptr)
           && written == count;
}

bool ExtractToFile(const Cabinet &cab, const cecab::Member &member, const wchar_t *path)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = cecab::ExtractMember(cab, member, ToFile, file);
    CloseHandle(file);
    if (!ok)
        DeleteFileW(path);
    return ok;
}

bool Widen(const char *text, wchar_t *out, size_t units)
{
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, out, static_cast<int>(units)) > 0;
}

// A package read, checked and placed: every path the installation writes.
struct Plan {
    Cabinet cab;
    ControlFile control;
    wchar_t packageName[2 * cecab::kMaxText];  // "<provider> <application>"
    wchar_t installDir[MAX_PATH];
    wchar_t dirPaths[cecab::kMaxDirs][MAX_PATH];
    wchar_t filePaths[cecab::kMaxFiles][MAX_PATH];
    wchar_t linkPaths[cecab::kMaxLinks][MAX_PATH];
    wchar_t linkTargets[cecab::kMaxLinks][MAX_PATH];
    const cecab::Member *setupLibrary;
};

bool StandardFolder(int number, wchar_t *path)
{
    for (const auto &folder : kStandardFolders)
        if (folder.number == number)
            return SHGetSpecialFolderPathW(nullptr, path, folder.csidl, FALSE) != FALSE;
    return false;
}

// base\part\part... of a control-file path.
bool PlacePath(const ControlFile &cf, const wchar_t *base, const cecab::Path &path, wchar_t *out)
{
    if (FAILED(StringCchCopyW(out, MAX_PATH, base)))
        return false;
    for (uint16_t i = 0; i < path.count; ++i) {
        wchar_t part[cecab::kMaxText];
        if (!Widen(cf.strings[path.parts[i]], part, ARRAYSIZE(part)) || FAILED(StringCchCatW(out, MAX_PATH, L"\\"))
            || FAILED(StringCchCatW(out, MAX_PATH, part)))
            return false;
    }
    return true;
}

// The folder's path when it lies within the install folder (the first
// folder listed), or is it; or, outside it, under another standard folder of
// the device (a shared library into the Windows folder).
bool PlaceDir(const ControlFile &cf, const cecab::Dir &dir, const wchar_t *installDir, wchar_t *out)
{
    const cecab::Path &root = cf.dirs[0].path;
    bool within = dir.path.base == root.base && dir.path.count >= root.count;
    for (uint16_t i = 0; within && i < root.count; ++i)
        within = !lstrcmpiA(cf.strings[dir.path.parts[i]], cf.strings[root.parts[i]]);
    if (!within) {
        wchar_t base[MAX_PATH];
        return StandardFolder(dir.path.base, base) && PlacePath(cf, base, dir.path, out);
    }
    cecab::Path below = dir.path;
    below.count = static_cast<uint16_t>(dir.path.count - root.count);
    for (uint16_t i = 0; i < below.count; ++i)
        below.parts[i] = dir.path.parts[root.count + i];
    return PlacePath(cf, installDir, below, out);
}

// The name the device registers a package under, for its record and its
// removal: the reference of the installer's information file ([Version]
// Provider, [CEStrings] AppName) has it as the provider's name and the
// application's joined by one space, "<provider> <appname>".
bool MakePackageName(const ControlFile &cf, wchar_t *name, size_t units)
{
    wchar_t provider[cecab::kMaxText], application[cecab::kMaxText];
    return Widen(cf.provider, provider, ARRAYSIZE(provider)) && Widen(cf.appName, application, ARRAYSIZE(application))
           && SUCCEEDED(StringCchPrintfW(name, units, L"%s %s", provider, application));
}

// A reason made of our words and the reader's.
const wchar_t *Reason(const wchar_t *what, const char *why)
{
    static wchar_t reason[256];
    wchar_t wide[200] = L"";
    Widen(why, wide, ARRAYSIZE(wide));
    StringCchPrintfW(reason, ARRAYSIZE(reason), L"%s%s", what, wide);
    return reason;
}

// The folder given for the package's install folder: full, without a
// trailing backslash, as the record keeps it.
bool ChosenFolder(const wchar_t *given, wchar_t *out)
{
    DWORD n = GetFullPathNameW(given, MAX_PATH, out, nullptr);
    if (!n || n >= MAX_PATH)
        return false;
    size_t length = wcslen(out);
    while (length > 3 && out[length - 1] == L'\\')
        out[--length] = 0;
    return true;
}

// The reason a package cannot be installed, or null when it can. chosenDir,
// when not null, stands for the install folder the package names.
const wchar_t *MakePlan(const FileBytes &bytes, const wchar_t *chosenDir, Plan *plan, wchar_t *detail, size_t units)
{
    detail[0] = 0;
    cecab::CabinetResult cabResult = cecab::ReadCabinet(bytes.data, bytes.size, &plan->cab);
    if (cabResult != cecab::CabinetResult::Ok) {
        return Reason(L"the cabinet is ", cecab::DescribeCabinetResult(cabResult));
    }
    const cecab::Member *control = cecab::FindMember(plan->cab, kControlFileNumber);
    if (!control)
        return L"the cabinet has no control file (.000)";
    static uint8_t controlBytes[kMaxControlFile];
    MemorySink sink = {controlBytes, sizeof(controlBytes), 0};
    if (control->size > sizeof(controlBytes) || !cecab::ExtractMember(plan->cab, *control, ToMemory, &sink))
        return L"the control file is too large";
    cecab::ControlResult controlResult = cecab::ReadControlFile(controlBytes, sink.used, &plan->control);
    if (controlResult != cecab::ControlResult::Ok) {
        return Reason(L"the control file is damaged: ", cecab::DescribeControlResult(controlResult));
    }
    const ControlFile &cf = plan->control;
    if (!MakePackageName(cf, plan->packageName, ARRAYSIZE(plan->packageName)))
        return L"the application's or the provider's name cannot be read";
    if (cf.regHiveCount || cf.regKeyCount)
        return L"the package lists registry entries, which this installer does not write";

    // The install folder: the first folder listed, under a standard folder.
    wchar_t base[MAX_PATH];
    if (!cf.dirCount || !cf.dirs[0].path.count || !StandardFolder(cf.dirs[0].path.base, base)
        || !PlacePath(cf, base, cf.dirs[0].path, plan->installDir))
        return L"the package names no install folder under a standard folder of the device";
    if (chosenDir && !ChosenFolder(chosenDir, plan->installDir)) {
        StringCchPrintfW(detail, units, L"%s", chosenDir);
        return L"the install folder given cannot be used";
    }
    for (uint16_t i = 0; i < cf.dirCount; ++i) {
        if (!PlaceDir(cf, cf.dirs[i], plan->installDir, plan->dirPaths[i])) {
            StringCchPrintfW(detail, units, L"folder %u", cf.dirs[i].id);
            return L"a folder lies neither in the install folder nor under a standard folder of the device";
        }
    }
    for (uint16_t i = 0; i < cf.fileCount; ++i) {
        const cecab::File &file = cf.files[i];
        wchar_t name[cecab::kMaxText] = L"";
        Widen(file.name, name, ARRAYSIZE(name));
        if (!cecab::FindMember(plan->cab, file.id)) {
            StringCchPrintfW(detail, units, L"%s (.%03u)", name, file.id);
            return L"a file that the control file lists is missing from the cabinet";
        }
        if (!name[0] || !JoinPath(plan->filePaths[i], MAX_PATH, plan->dirPaths[file.dirIndex], name))
            return L"a file's path is too long";
        for (uint16_t j = 0; j < i; ++j) {
            if (!lstrcmpiW(plan->filePaths[i], plan->filePaths[j])) {
                StringCchPrintfW(detail, units, L"%s", plan->filePaths[i]);
                return L"two files would be installed under one name";
            }
        }
    }
    for (uint16_t i = 0; i < cf.linkCount; ++i) {
        const cecab::Link &link = cf.links[i];
        if (link.path.count != 1)
            return L"a shortcut is not one name in its folder";
        if (link.base ? !StandardFolder(link.base, base) : FAILED(StringCchCopyW(base, MAX_PATH, plan->installDir)))
            return L"a shortcut's folder is not a standard folder of the device";
        if (!PlacePath(cf, base, link.path, plan->linkPaths[i]))
            return L"a shortcut's path is too long";
        const wchar_t *target = link.type == cecab::kLinkToFile ? plan->filePaths[link.target]
                                : link.target                   ? plan->dirPaths[link.target - 1]
                                                                : plan->installDir;
        StringCchCopyW(plan->linkTargets[i], MAX_PATH, target);
    }
    plan->setupLibrary = cecab::FindMember(plan->cab, kSetupLibraryNumber);
    return nullptr;
}

// Runs command on the package at path once it is read and planned; refused
// when it cannot be. The bytes and the plan are kept outside the stack.
int WithPlan(const wchar_t *path, const wchar_t *chosenDir, int (*command)(const wchar_t *path, const Plan &plan))
{
    static FileBytes bytes;
    static Plan plan;
    if (!ReadWholeFile(path, &bytes)) {
        Say(L"%s: cannot be read; nothing installed", path);
        return EXIT_REFUSED;
    }
    wchar_t detail[MAX_PATH + 32];
    if (const wchar_t *reason = MakePlan(bytes, chosenDir, &plan, detail, ARRAYSIZE(detail))) {
        Say(L"%s refused: %s%s%s; nothing installed", path, reason, detail[0] ? L": " : L"", detail);
        return EXIT_REFUSED;
    }
    return command(path, plan);
}

// Where the platform keeps an installed package's setup library for removal.
bool KeptSetupLibraryPath(const wchar_t *packageName, wchar_t *path)
{
    wchar_t windows[MAX_PATH];
    return SHGetSpecialFolderPathW(nullptr, windows, CSIDL_WINDOWS, FALSE)
           && SUCCEEDED(StringCchPrintfW(path, MAX_PATH, L"%s\\AppMgr\\%s.dll", windows, packageName));
}

// Prints what the package holds and where it would go.
int ListPlan(const wchar_t *path, const Plan &plan)
{
    const ControlFile &cf = plan.control;
    wchar_t provider[cecab::kMaxText], application[cecab::kMaxText];
    Widen(cf.provider, provider, ARRAYSIZE(provider));
    Widen(cf.appName, application, ARRAYSIZE(application));
    Print(L"application %s", application);
    Print(L"provider %s", provider);
    Print(L"record SOFTWARE\\Apps\\%s", plan.packageName);
    Print(L"install folder %s", plan.installDir);
    for (uint16_t i = 0; i < plan.cab.memberCount; ++i)
        Print(L"member %03u %hs", plan.cab.members[i].number, plan.cab.members[i].name);
    for (uint16_t i = 0; i < cf.fileCount; ++i)
        Print(L"file %03u %hs", cf.files[i].id, cf.files[i].name);
    for (uint16_t i = 0; i < cf.linkCount; ++i)
        Print(L"shortcut %s -> %s", plan.linkPaths[i], plan.linkTargets[i]);
    return EXIT_DONE;
}

// Installs the planned package: folders, files and shortcuts between the
// setup library's hooks, and the record that removal reads.
int InstallPlan(const wchar_t *path, const Plan &plan)
{
    const ControlFile &cf = plan.control;

    // The setup library travels in the cabinet: loaded from a private copy,
    // kept where removal finds it once the installation stands.
    static InstallRecord record;
    ZeroMemory(&record, sizeof(record));
    StringCchCopyW(record.installDir, ARRAYSIZE(record.installDir), plan.installDir);
    SetupLibrary setup;
    wchar_t temp[MAX_PATH], loaded[MAX_PATH] = L"";
    if (plan.setupLibrary) {
        if (!KeptSetupLibraryPath(plan.packageName, record.setupLibrary) || !GetTempPathW(ARRAYSIZE(temp), temp)
            || !GetTempFileNameW(temp, L"cei", 0, loaded) || !ExtractToFile(plan.cab, *plan.setupLibrary, loaded)
            || !LoadSetupLibrary(loaded, &setup)) {
            if (loaded[0])
                DeleteFileW(loaded);
            Say(L"%s: the setup library cannot be loaded; nothing installed", path);
            return EXIT_FAILED;
        }
    }
    HWND window = CreateInstallerWindow(L"Installing", plan.packageName);
    auto finish = [&](int result) {
        DestroyWindow(window);
        FreeSetupLibrary(&setup);
        if (loaded[0])
            DeleteFileW(loaded);
        return result;
    };

    BOOL previouslyInstalled = IsRecorded(plan.packageName);
    if (setup.installInit
        && setup.installInit(window, TRUE, previouslyInstalled, plan.installDir) != codeINSTALL_INIT_CONTINUE) {
        Say(L"installation cancelled by the setup library");
        return finish(EXIT_CANCELLED);
    }

    WORD failedDirs = 0, failedFiles = 0, failedShortcuts = 0;
    // Folders deepest first in the record, so that removal can take them away.
    for (int i = cf.dirCount - 1; i >= 0; --i) {
        int rc = SHCreateDirectoryExW(nullptr, plan.dirPaths[i], nullptr);
        if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS && rc != ERROR_FILE_EXISTS) {
            Say(L"cannot create %s", plan.dirPaths[i]);
            ++failedDirs;
        }
    }
    // The device's own folders stay: only the package's are recorded.
    const size_t installLength = wcslen(plan.installDir);
    for (int length = MAX_PATH; length > 0; --length)
        for (uint16_t i = 0; i < cf.dirCount; ++i)
            if (static_cast<int>(wcslen(plan.dirPaths[i])) == length
                && !_wcsnicmp(plan.dirPaths[i], plan.installDir, installLength)
                && (!plan.dirPaths[i][installLength] || plan.dirPaths[i][installLength] == L'\\'))
                AppendToList(record.folders, ARRAYSIZE(record.folders), plan.dirPaths[i]);
    for (uint16_t i = 0; i < cf.fileCount; ++i) {
        // A shared file is counted by the device, and goes only with the last
        // package that uses it: one that is there already is another's (or
        // the ROM's), left as it is and not recorded for removal.
        if ((cf.files[i].flags & kSharedFile) && GetFileAttributesW(plan.filePaths[i]) != INVALID_FILE_ATTRIBUTES)
            continue;
        if (ExtractToFile(plan.cab, *cecab::FindMember(plan.cab, cf.files[i].id), plan.filePaths[i])) {
            AppendToList(record.files, ARRAYSIZE(record.files), plan.filePaths[i]);
        } else {
            Say(L"cannot write %s", plan.filePaths[i]);
            ++failedFiles;
        }
    }
    for (uint16_t i = 0; i < cf.linkCount; ++i) {
        if (CreateShortcut(plan.linkPaths[i], plan.linkTargets[i])) {
            AppendToList(record.files, ARRAYSIZE(record.files), plan.linkPaths[i]);
        } else {
            Say(L"cannot create the shortcut %s", plan.linkPaths[i]);
            ++failedShortcuts;
        }
    }
    // The platform records the install folder before Install_Exit reads it.
    if (setup.module) {
        wchar_t folder[MAX_PATH];
        StringCchCopyW(folder, ARRAYSIZE(folder), record.setupLibrary);
        *wcsrchr(folder, L'\\') = 0;
        CreateDirectoryW(folder, nullptr);
        if (!CopyFileW(loaded, record.setupLibrary, FALSE))
            record.setupLibrary[0] = 0;
    }
    WORD failedRegKeys = WriteRecord(plan.packageName, record) ? 0 : 1;

    codeINSTALL_EXIT done = setup.installExit ? setup.installExit(window, plan.installDir, failedDirs, failedFiles,
                                                                  failedRegKeys, 0, failedShortcuts)
                                              : codeINSTALL_EXIT_DONE;
    if (done == codeINSTALL_EXIT_UNINSTALL) {
        Say(L"installation undone at the request of the setup library");
        FreeSetupLibrary(&setup);
        if (record.setupLibrary[0])
            DeleteFileW(record.setupLibrary);
        RemoveInstalled(plan.packageName, record);
        return finish(EXIT_CANCELLED);
    }
    if (failedDirs || failedFiles || failedRegKeys || failedShortcuts)
        return finish(EXIT_FAILED);
    Say(L"%s installed in %s", plan.packageName, plan.installDir);
    return finish(EXIT_DONE);
}

}  // namespace

int ListCabinet(const wchar_t *path) { return WithPlan(path, nullptr, ListPlan); }

int InstallCabinet(const wchar_t *path, const wchar_t *installDir) { return WithPlan(path, installDir, InstallPlan); }
