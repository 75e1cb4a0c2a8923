#include "tests/e2e/program_test.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string_view>

#include "platform/current_account.h"
#include "tests/e2e/application_events.h"
#include "tests/support/removed_local_dumps.h"

namespace brevanto::e2e {
namespace {

using support::LinesOfKind;

constexpr const wchar_t* kLocalDumps = support::kLocalDumpsKey;
constexpr wchar_t kOwnKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps\\Brevanto.exe";
constexpr DWORD kAccessViolation = 0xC0000005;
// A minidump ends the program within 5 s of the crash; the driver sees it a little later.
constexpr double kMinidumpEndMs = 5000.0;
constexpr double kSlackMs = 700.0;

std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    return length && length < MAX_PATH * 2 ? std::wstring(value, length) : std::wstring();
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\" + name);
            else
                DeleteFileW((path + L"\\" + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

std::set<std::wstring> FilesIn(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.insert(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::wstring DumpName(DWORD processId) {
    return L"Brevanto.exe." + std::to_wstring(processId) + L".dmp";
}

// The LocalDumps keys a test sets, in the 64-bit view where there is one. Whatever LocalDumps
// held before is gone for the test, from both views, and put back afterwards.
class LocalDumpsKeys {
public:
    LocalDumpsKeys() = default;
    LocalDumpsKeys(const LocalDumpsKeys&) = delete;
    LocalDumpsKeys& operator=(const LocalDumpsKeys&) = delete;

    void Number(const wchar_t* key, const wchar_t* name, DWORD value) {
        Store(key, name, REG_DWORD, &value, sizeof value);
    }
    void Text(const wchar_t* key, const wchar_t* name, const std::wstring& value,
              DWORD type = REG_EXPAND_SZ) {
        Store(key, name, type, value.c_str(),
              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    void Create(const wchar_t* key) { Store(key, nullptr, 0, nullptr, 0); }

private:
    static void Store(const wchar_t* path, const wchar_t* name, DWORD type, const void* data,
                      DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0,
                                  KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        if (name) {
            EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
                      ERROR_SUCCESS);
        }
        RegCloseKey(key);
    }

    const support::RemovedLocalDumps removed_;
};

// LocalDumps is the machine's: only an elevated driver can set it.
constexpr char kLocalDumpsNeedElevation[] =
    "LocalDumps is under HKEY_LOCAL_MACHINE, which only an elevated process may change";

// What a minidump file shows: its signature and its exception stream.
struct DumpSeen {
    bool signature = false;
    bool exceptionStream = false;
    DWORD threadId = 0;
    DWORD code = 0;
};

DumpSeen ReadDump(const std::wstring& path) {
    DumpSeen seen;
    std::ifstream file(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    const auto u32 = [&bytes](std::size_t at) -> DWORD {
        DWORD value = 0;
        if (at + 4 <= bytes.size())
            std::copy_n(bytes.data() + at, 4, reinterpret_cast<char*>(&value));
        return value;
    };
    seen.signature = bytes.compare(0, 4, "MDMP") == 0;
    const DWORD streams = u32(8);
    const DWORD directory = u32(12);
    constexpr DWORD kExceptionStream = 6;
    for (DWORD i = 0; seen.signature && i < streams; ++i) {
        const std::size_t entry = directory + i * 12;
        if (u32(entry) != kExceptionStream)
            continue;
        const DWORD rva = u32(entry + 8);
        seen.exceptionStream = rva + 12 <= bytes.size();
        seen.threadId = u32(rva);
        seen.code = u32(rva + 8);
    }
    return seen;
}

// A scratch folder under the driver's temporary folder, gone before and after the test.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name)
        : path_(Environment(L"TEMP") + L"\\brevanto-dumps-" + name) {
        RemoveTree(path_);
    }
    ~ScratchFolder() { RemoveTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

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

// Why a crash test cannot run here, with its category: it sets LocalDumps, which only an elevated
// process may, and reads the run's event. Asked before the test changes anything.
struct CannotRun {
    std::string_view category;
    std::string why;
};
std::optional<CannotRun> WhyItCannotRun(const ApplicationEventWatch& events) {
    if (!ProcessIsElevated())
        return CannotRun{runner::kNeedsElevationSkip, kLocalDumpsNeedElevation};
    if (!events.NoWitness().empty())
        return CannotRun{runner::kNoWitnessSkip, events.NoWitness()};
    return std::nullopt;
}

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

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// Wine's 64-bit dbghelp takes about 4 s for a minidump of the program (it walks its own Unix
// modules as well), so the 5 s a minidump is given may cut it short there, as the program then
// deletes the part written and says so in its event; the 32-bit build, the one that ships, takes
// under 100 ms, as Windows would.
constexpr char kSlowWineDumps[] =
    "64-bit Wine's dbghelp may take longer than the 5 s a minidump is given: the dump was cut "
    "short, deleted and reported so";

// The program gave up on the minidump at its deadline, as its event says, and left no dump of it.
bool DumpCutShort(const Crashed& crashed, const std::set<std::wstring>& files) {
    return sizeof(void*) == 8 && crashed.events.size() == 1 &&
           EventLine(crashed.events[0], "Dump").rfind("not finished", 0) == 0 &&
           !files.count(DumpName(crashed.processId));
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

    ASSERT_EQ(crashed.events.size(), 1u);
    EXPECT_EQ(EventLine(crashed.events[0], "Dump"), Narrow(folder + L"\\" + name));
}

TEST_F(ProgramTest, DumpCountDeletesTheOldestDumpsOfTheProgramOnly) {
    const ApplicationEventWatch events;
    if (const auto cannot = WhyItCannotRun(events))
        BREVANTO_SKIP(cannot->category, cannot->why);
    LocalDumpsKeys keys;
    const ScratchFolder scratch(L"count");
    keys.Text(kOwnKey, L"DumpFolder", scratch.Path(), REG_SZ);
    keys.Number(kOwnKey, L"DumpCount", 2);
    PlaceOldDump(scratch.Path(), L"Brevanto.exe.11.dmp", 3);
    PlaceOldDump(scratch.Path(), L"Brevanto.exe.12.dmp", 1);
    PlaceOldDump(scratch.Path(), L"Brevanto.exe.13.dmp", 2);
    PlaceOldDump(scratch.Path(), L"Other.exe.14.dmp", 5);

    const Crashed crashed = CrashOnce(events, "createcrash:User=av");
    EXPECT_EQ(static_cast<DWORD>(crashed.status), kAccessViolation);
    const std::set<std::wstring> files = FilesIn(scratch.Path());
    const std::set<std::wstring> kept = {DumpName(crashed.processId), L"Brevanto.exe.12.dmp",
                                         L"Other.exe.14.dmp"};
    EXPECT_TRUE(files == kept || WineOnly(DumpCutShort(crashed, files), kSlowWineDumps))
        << files.size() << " files";
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
    EXPECT_TRUE(files == one || WineOnly(DumpCutShort(crashed, files), kSlowWineDumps))
        << files.size() << " files";
    const std::wstring other = std::wstring(row.dumpIn) == L"own" ? global : own;
    EXPECT_TRUE(FilesIn(other).empty());
}

INSTANTIATE_TEST_SUITE_P(LocalDumps, LocalDumpsKeysRow, testing::ValuesIn(kKeyRows), kRowName);

TEST_F(ProgramTest, WithoutLocalDumpsACrashWritesNoDumpAndSaysSo) {
    const ApplicationEventWatch events;
    if (const auto cannot = WhyItCannotRun(events))
        BREVANTO_SKIP(cannot->category, cannot->why);
    LocalDumpsKeys keys;
    const std::wstring defaultFolder = Environment(L"LOCALAPPDATA") + L"\\CrashDumps";
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
    const std::string dumpLine = EventLine(crashed.events[0], "Dump");
    const std::wstring path = scratch.Path() + L"\\" + DumpName(crashed.processId);
    // Wine takes 8 to 13 s for a full dump of the program here, more on a loaded machine: either
    // it is written whole, or it is cut short at the limit and deleted.
    if (dumpLine.rfind("not finished", 0) == 0) {
        EXPECT_NE(dumpLine.find(Narrow(path)), std::string::npos) << dumpLine;
        EXPECT_GE(crashed.crashToEndMs, 13000.0);
        EXPECT_TRUE(FilesIn(scratch.Path()).empty());
    } else {
        EXPECT_EQ(dumpLine, Narrow(path));
        EXPECT_TRUE(ReadDump(path).exceptionStream);
    }
}

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
