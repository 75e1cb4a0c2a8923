#include "tests/e2e/program_test.h"

#include <aclapi.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include "platform/base/unique_resource.h"
#include "platform/security/accounts.h"
#include "tests/e2e/application_events.h"
#include "tests/e2e/local_dumps.h"
#include "tests/support/dacl_text.h"
#include "tests/support/environment_variable.h"
#include "tests/support/folder_link.h"

namespace brevanto::e2e {
namespace {

using support::LinesOfKind;

constexpr DWORD kAccessViolation = 0xC0000005;
// A minidump ends the program within 5 s of the crash; the driver sees it a little later.
constexpr double kMinidumpEndMs = 5000.0;
constexpr double kSlackMs = 700.0;

// An older dump, written the given number of days ago.
void PlaceOldDump(const std::wstring& folder, const std::wstring& name, int daysAgo) {
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\" + name;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
    time.QuadPart -= static_cast<ULONGLONG>(daysAgo) * 24 * 3600 * 10000000ULL;
    const FILETIME written{time.LowPart, time.HighPart};
    SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
}

struct Crashed {
    int status = 0;
    DWORD processId = 0;
    double crashToEndMs = 0;
    std::vector<EventSeen> events;
};

Crashed CrashOnce(const ApplicationEventWatch& events, const std::string& scenario,
                  DWORD timeoutMs = 10000) {
    ProgramRun run(scenario, events.WineChannels());
    Crashed crashed;
    crashed.status = run.WaitForExit(timeoutMs);
    crashed.processId = run.ProcessId();
    const auto crashes = LinesOfKind(run.Journal(), "crash");
    EXPECT_EQ(crashes.size(), 1u) << "the stand-in did not crash as the scenario asks";
    if (!crashes.empty())
        crashed.crashToEndMs = Ms(run.ExitUs() - crashes[0].enterUs);
    // In the XML report, for the record of how long the dump held the end up.
    testing::Test::RecordProperty("crashToEndMs", static_cast<int>(crashed.crashToEndMs));
    crashed.events = events.EventsOf(run);
    return crashed;
}

// The event is written before the dump, so it says where the dump goes and that it is deleted
// when it cannot be finished in its time.
std::string PendingDumpLine(const std::wstring& path, const char* seconds = "5.000") {
    return Utf8(path) + ", written after this event (a dump not finished within " + seconds +
           " s of the crash is deleted)";
}

// Wine's 64-bit dbghelp takes about 4 s for a minidump of the program (it walks its own Unix
// modules as well), so the 5 s a minidump is given may cut it short there, as the program then
// deletes the part written, which its event said it would; the 32-bit build, the one that ships,
// takes under 100 ms, as Windows would.
constexpr char kSlowWineDumps[] =
    "64-bit Wine's dbghelp may take longer than the 5 s a minidump is given: the dump was cut "
    "short and deleted, as its event says it would be";

// 64-bit Wine takes about 11 s for the data segments of a custom dump, near its 15 s.
constexpr char kSlowWineCustomDumps[] =
    "64-bit Wine's dbghelp may take longer than the 15 s a custom dump is given: the dump was cut "
    "short and deleted, as its event says it would be";

// The program gave up on the dump at its deadline and left no dump of it.
bool DumpCutShort(const Crashed& crashed, const std::set<std::wstring>& files) {
    return sizeof(void*) == 8 && crashed.events.size() == 1 &&
           EventLine(crashed.events[0], "Dump").find(", written after this event") !=
               std::string::npos &&
           !files.count(DumpName(crashed.processId));
}

// The DACL a file or folder reads back with, as SDDL without its control flags ("D:P",
// "D:PAI"): its entries only.
std::string DaclEntries(const std::wstring& path) {
    const std::string sddl = Utf8(support::DaclText(path));
    if (sddl.empty())
        return "(unreadable)";
    return sddl.substr(std::min(sddl.find('('), sddl.size()));
}

// Whether the DACL is protected, as SDDL's "P" after "D:" says.
bool DaclProtected(const std::wstring& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const UniqueLocal owned(descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    return GetSecurityDescriptorControl(descriptor, &control, &revision) &&
           (control & SE_DACL_PROTECTED);
}

// The dump and every folder made for it are the running user's, SYSTEM's and Administrators'
// only. Wine keeps a descriptor as the file's Unix permissions, and reads back SYSTEM and the
// owner, and Everyone only where others may read: a private file shows the first two alone,
// where one made without a descriptor shows Everyone reading too.
void ExpectPrivate(const std::wstring& path, bool folder) {
    SCOPED_TRACE(Utf8(path));
    const std::string inherit = folder ? "OICI" : "";
    const std::string sid = Utf8(ReadCurrentAccount().sid);
    const std::string expected = "(A;" + inherit + ";FA;;;" + sid + ")(A;" + inherit +
                                 ";FA;;;SY)(A;" + inherit + ";FA;;;BA)";
    const std::string asWineShowsIt =
        "(A;" + inherit + ";FA;;;SY)(A;" + inherit + ";FA;;;" + sid + ")";
    const std::string entries = DaclEntries(path);
    EXPECT_TRUE((entries == expected && DaclProtected(path)) ||
                WineOnly(entries == asWineShowsIt,
                         "Wine keeps a descriptor as Unix permissions: SYSTEM, the owner, and "
                         "Everyone only where others may read"))
        << entries;
}

TEST_F(ProgramTest, CrashWritesTheMinidumpLocalDumpsAsksForInAFolderItCreates) {
    const ApplicationEventWatch events;
    if (const auto cannot = WhyItCannotRun(events))
        BREVANTO_SKIP(cannot->category, cannot->why);
    LocalDumpsKeys keys;
    const ScratchFolder scratch(L"made");
    // Expanded, with a folder and its parent missing.
    keys.Text(kLocalDumps, L"DumpFolder", L"%TEMP%\\brevanto-dumps-made\\by the\\program");
    const std::wstring folder = scratch.Path() + L"\\by the\\program";

    const Crashed crashed = CrashOnce(events, "crash:Viewer.Show_Results=av");
    EXPECT_EQ(static_cast<DWORD>(crashed.status), kAccessViolation);
    EXPECT_LE(crashed.crashToEndMs, kMinidumpEndMs + kSlackMs);

    const std::wstring name = DumpName(crashed.processId);
    // Written first, the event names where the dump goes.
    ASSERT_EQ(crashed.events.size(), 1u);
    EXPECT_EQ(EventLine(crashed.events[0], "Dump"), PendingDumpLine(folder + L"\\" + name));
    // Every folder made for it is private, whether the dump was finished or not.
    for (const std::wstring& made : {folder, scratch.Path() + L"\\by the", scratch.Path()})
        ExpectPrivate(made, true);
    const std::set<std::wstring> files = FilesIn(folder);
    ASSERT_TRUE(files == std::set<std::wstring>{name} ||
                WineOnly(DumpCutShort(crashed, files), kSlowWineDumps))
        << files.size() << " files in " << Utf8(folder);
    if (files.empty())
        return;
    const DumpSeen dump = ReadDump(folder + L"\\" + name);
    EXPECT_TRUE(dump.signature);
    ASSERT_TRUE(dump.exceptionStream);
    EXPECT_EQ(dump.code, kAccessViolation);
    EXPECT_NE(dump.threadId, 0u);
    ExpectPrivate(folder + L"\\" + name, false);
}

// As Windows counts: every dump file in the folder, whichever program's.
TEST_F(ProgramTest, DumpCountKeepsTheNewestDumpFilesOfTheFolder) {
    const ApplicationEventWatch events;
    if (const auto cannot = WhyItCannotRun(events))
        BREVANTO_SKIP(cannot->category, cannot->why);
    LocalDumpsKeys keys;
    const ScratchFolder scratch(L"count");
    keys.Text(kOwnKey, L"DumpFolder", scratch.Path(), REG_SZ);
    keys.Number(kOwnKey, L"DumpCount", 3);
    PlaceOldDump(scratch.Path(), L"Brevanto.exe.11.dmp", 3);
    PlaceOldDump(scratch.Path(), L"Brevanto.exe.12.dmp", 1);
    PlaceOldDump(scratch.Path(), L"Brevanto.exe.13.dmp", 4);
    PlaceOldDump(scratch.Path(), L"Other.exe.14.dmp", 2);
    PlaceOldDump(scratch.Path(), L"Other.exe.15.dmp", 5);
    PlaceOldDump(scratch.Path(), L"notes.txt", 6);

    const Crashed crashed = CrashOnce(events, "createcrash:User=av");
    EXPECT_EQ(static_cast<DWORD>(crashed.status), kAccessViolation);
    const std::set<std::wstring> files = FilesIn(scratch.Path());
    const std::set<std::wstring> kept = {DumpName(crashed.processId), L"Brevanto.exe.12.dmp",
                                         L"Other.exe.14.dmp", L"notes.txt"};
    // Cut short, no dump is written, and none is deleted for it.
    const std::set<std::wstring> untouched = {L"Brevanto.exe.11.dmp", L"Brevanto.exe.12.dmp",
                                              L"Brevanto.exe.13.dmp", L"Other.exe.14.dmp",
                                              L"Other.exe.15.dmp",    L"notes.txt"};
    EXPECT_TRUE(files == kept ||
                WineOnly(files == untouched && DumpCutShort(crashed, files), kSlowWineDumps))
        << files.size() << " files";
}

// Windows' default for a custom dump: data segments, unloaded modules, process and thread data.
TEST_F(ProgramTest, ACustomDumpWithoutFlagsIsWrittenWithWindowsDefaultFlags) {
    const ApplicationEventWatch events;
    if (const auto cannot = WhyItCannotRun(events))
        BREVANTO_SKIP(cannot->category, cannot->why);
    LocalDumpsKeys keys;
    const ScratchFolder scratch(L"custom");
    keys.Text(kOwnKey, L"DumpFolder", scratch.Path(), REG_SZ);
    keys.Number(kOwnKey, L"DumpType", 0);

    // A custom dump is given the long time.
    const Crashed crashed = CrashOnce(events, "createcrash:User=av", 20000);
    EXPECT_EQ(static_cast<DWORD>(crashed.status), kAccessViolation);
    EXPECT_LE(crashed.crashToEndMs, 15000.0 + kSlackMs);
    const std::set<std::wstring> files = FilesIn(scratch.Path());
    ASSERT_TRUE(files == std::set<std::wstring>{DumpName(crashed.processId)} ||
                WineOnly(DumpCutShort(crashed, files), kSlowWineCustomDumps))
        << files.size() << " files";
    if (files.empty())
        return;
    const DumpSeen dump = ReadDump(scratch.Path() + L"\\" + DumpName(crashed.processId));
    ASSERT_TRUE(dump.signature);
    EXPECT_EQ(dump.flags, 0x121u);
}

struct KeyRow {
    const char* name;
    bool globalFolder;  // the global key names folder "global"
    bool ownFolder;     // the program's key names folder "own"
    bool ownCountOfOne; // the program's key sets DumpCount 1, the global key none
    const wchar_t* dumpIn;
};

const KeyRow kKeyRows[] = {
    {"GlobalKeyAlone", true, false, false, L"global"},
    {"ProgramKeyAlone", false, true, false, L"own"},
    {"ProgramFolderWinsOverTheGlobalOne", true, true, false, L"own"},
    // The program's key gives only the count; the folder still comes from the global key.
    {"ValueByValue", true, false, true, L"global"},
};

class LocalDumpsKeysRow : public ProgramTest, public testing::WithParamInterface<KeyRow> {};

TEST_P(LocalDumpsKeysRow, DecideWhereTheDumpGoes) {
    const KeyRow& row = GetParam();
    const ApplicationEventWatch events;
    if (const auto cannot = WhyItCannotRun(events))
        BREVANTO_SKIP(cannot->category, cannot->why);
    LocalDumpsKeys keys;
    const ScratchFolder scratch(L"keys");
    const std::wstring global = scratch.Path() + L"\\global";
    const std::wstring own = scratch.Path() + L"\\own";
    keys.Create(kLocalDumps);
    if (row.globalFolder)
        keys.Text(kLocalDumps, L"DumpFolder", global);
    if (row.ownFolder)
        keys.Text(kOwnKey, L"DumpFolder", own);
    if (row.ownCountOfOne) {
        keys.Number(kOwnKey, L"DumpCount", 1);
        CreateDirectoryW(scratch.Path().c_str(), nullptr);
        PlaceOldDump(global, L"Brevanto.exe.21.dmp", 1);
    }

    const Crashed crashed = CrashOnce(events, "createcrash:User=av");
    EXPECT_EQ(static_cast<DWORD>(crashed.status), kAccessViolation);
    const std::set<std::wstring> one = {DumpName(crashed.processId)};
    const std::set<std::wstring> files = FilesIn(scratch.Path() + L"\\" + row.dumpIn);
    // Cut short, the older dump of the last row stays.
    const bool cutShort =
        DumpCutShort(crashed, files) &&
        (files.empty() || files == std::set<std::wstring>{L"Brevanto.exe.21.dmp"});
    EXPECT_TRUE(files == one || WineOnly(cutShort, kSlowWineDumps)) << files.size() << " files";
    const std::wstring other = std::wstring(row.dumpIn) == L"own" ? global : own;
    EXPECT_TRUE(FilesIn(other).empty());
}

INSTANTIATE_TEST_SUITE_P(LocalDumps, LocalDumpsKeysRow, testing::ValuesIn(kKeyRows), kRowName);

TEST_F(ProgramTest, WithoutLocalDumpsACrashWritesNoDumpAndSaysSo) {
    const ApplicationEventWatch events;
    if (const auto cannot = WhyItCannotRun(events))
        BREVANTO_SKIP(cannot->category, cannot->why);
    LocalDumpsKeys keys;
    const std::wstring defaultFolder = support::EnvironmentValue(L"LOCALAPPDATA") + L"\\CrashDumps";
    const Crashed crashed = CrashOnce(events, "crash:Viewer.Show_Results=av");
    EXPECT_EQ(static_cast<DWORD>(crashed.status), kAccessViolation);
    EXPECT_EQ(FilesIn(defaultFolder).count(DumpName(crashed.processId)), 0u);
    ASSERT_EQ(crashed.events.size(), 1u);
    EXPECT_EQ(EventLine(crashed.events[0], "Dump"), "none (LocalDumps is not configured)");
}

TEST_F(ProgramTest, AFullDumpEndsTheProgramWithTheCodeWithin15SecondsLeavingNoPartialFile) {
    const ApplicationEventWatch events;
    if (const auto cannot = WhyItCannotRun(events))
        BREVANTO_SKIP(cannot->category, cannot->why);
    LocalDumpsKeys keys;
    const ScratchFolder scratch(L"full");
    keys.Text(kOwnKey, L"DumpFolder", scratch.Path());
    keys.Number(kOwnKey, L"DumpType", 2);

    const Crashed crashed = CrashOnce(events, "crash:Viewer.Show_Results=av", 30000);
    // The exception code, never the exit guard's own status.
    EXPECT_EQ(static_cast<DWORD>(crashed.status), kAccessViolation);
    EXPECT_LE(crashed.crashToEndMs, 15000.0 + kSlackMs);
    ASSERT_EQ(crashed.events.size(), 1u);
    const std::wstring path = scratch.Path() + L"\\" + DumpName(crashed.processId);
    EXPECT_EQ(EventLine(crashed.events[0], "Dump"), PendingDumpLine(path, "15.000"));
    // Wine takes 8 to 13 s for a full dump of the program here, more on a loaded machine: either
    // it is written whole, or it is cut short at the limit and deleted.
    if (FilesIn(scratch.Path()).empty()) {
        EXPECT_GE(crashed.crashToEndMs, 13000.0);
    } else {
        EXPECT_EQ(FilesIn(scratch.Path()), std::set<std::wstring>{DumpName(crashed.processId)});
        EXPECT_TRUE(ReadDump(path).exceptionStream);
    }
}

struct ReparseRow {
    const char* name;
    const wchar_t* below; // the dump folder below the reparse point; empty: the point itself
};

const ReparseRow kReparseRows[] = {
    {"IsAReparsePoint", L""},
    {"SitsUnderAReparsePoint", L"\\brevanto-dumps-under-a-link\\Lab"},
};

class DumpFolderThrough : public ProgramTest, public testing::WithParamInterface<ReparseRow> {};

TEST_P(DumpFolderThrough, AReparsePointIsRefusedAndNothingIsWrittenThere) {
    const ApplicationEventWatch events;
    if (const auto cannot = WhyItCannotRun(events))
        BREVANTO_SKIP(cannot->category, cannot->why);
    LocalDumpsKeys keys;
    const support::FolderLink folderLink;
    if (!folderLink.Made())
        BREVANTO_SKIP(runner::kNoWitnessSkip, Utf8(folderLink.Why()));
    const std::wstring link = folderLink.Link();
    const std::wstring folder = link + GetParam().below;
    keys.Text(kOwnKey, L"DumpFolder", folder, REG_SZ);

    const Crashed crashed = CrashOnce(events, "crash:Viewer.Show_Results=av");
    const std::wstring name = DumpName(crashed.processId);
    const bool dumpThere =
        GetFileAttributesW((folder + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    // Whatever an older build may have left there goes.
    DeleteFileW((folder + L"\\" + name).c_str());
    if (*GetParam().below)
        RemoveTree(link + L"\\brevanto-dumps-under-a-link");
    EXPECT_EQ(static_cast<DWORD>(crashed.status), kAccessViolation);
    EXPECT_LE(crashed.crashToEndMs, kMinidumpEndMs + kSlackMs);
    EXPECT_FALSE(dumpThere);
    ASSERT_EQ(crashed.events.size(), 1u);
    EXPECT_EQ(EventLine(crashed.events[0], "Dump"),
              "not written: the folder " + Utf8(link) +
                  " is a link or junction (a reparse point), and dumps are never written "
                  "through one");
}

INSTANTIATE_TEST_SUITE_P(LocalDumps, DumpFolderThrough, testing::ValuesIn(kReparseRows), kRowName);

TEST_F(ProgramTest, ComponentsAndTheirChildProcessesKeepWindowsErrorReporting) {
    ProgramRun run("observe:User.LoginUser;observe:Viewer.Show_Results");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(run.EndWithCancel(5000), 0);
    const auto journal = run.Journal();
    for (const char* member : {"LoginUser", "Show_Results"}) {
        SCOPED_TRACE(member);
        const auto seen =
            SeenLines(journal, std::string(member) == "LoginUser" ? "User" : "Viewer", member);
        ASSERT_EQ(seen.size(), 1u);
        const std::string text = SeenValue(seen[0], "error_mode");
        const unsigned mode = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 16));
        // Critical-error and file-not-found boxes stay off; the fault box, which is how Windows
        // Error Reporting is kept from running, is not turned off.
        EXPECT_EQ(mode & SEM_NOGPFAULTERRORBOX, 0u) << text;
        EXPECT_EQ(mode & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
                  static_cast<unsigned>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX))
            << text;
    }
}

} // namespace
} // namespace brevanto::e2e
