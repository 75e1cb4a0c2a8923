#include "tests/e2e/program_test.h"

#include <cstdio>
#include <ostream>

#include "app/window_layout.h"
#include "tests/e2e/application_events.h"
#include "tests/e2e/local_dumps.h"
#include "tests/e2e/unattended_watch.h"

// A component that crashes or stops while it holds a lock nothing else in the process can then
// take: the loader lock, as code in a DLL's DllMain holds it, or the heaps' locks, as code
// faulting in a corrupted heap holds them. The program must still end on time with the right
// status and leave its event; and where a dump cannot be written, no partial one.
namespace brevanto::e2e {
namespace {

using support::LinesOfKind;

constexpr wchar_t kLocalDumps[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps";
// From the crash to the process's end, as the driver sees it: at once, or once a minidump has
// had its 5 s.
constexpr double kCrashToEndMs = 1000.0;
constexpr double kMinidumpEndMs = 5000.0 + 700.0;

std::string Hex(int status) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status));
    return text;
}

// LocalDumps for the program into a folder of its own, or none at all.
class DumpsAsked {
public:
    explicit DumpsAsked(bool asked) : folder_(L"held-lock") {
        if (asked)
            keys_.Text(kOwnKey, L"DumpFolder", folder_.Path(), REG_SZ);
    }
    const std::wstring& Folder() const { return folder_.Path(); }

private:
    LocalDumpsKeys keys_;
    ScratchFolder folder_;
};

struct HeldLockCrash {
    const char* name;
    std::string scenario;
    const char* lock;   // as the stand-in's lock line says
    std::string member; // as the event names it
    bool dumps;         // LocalDumps asks for a dump
    // What the event says of the dump, and how long the crash may hold the end up.
    const char* dumpLine;
    double crashToEndMs;
};

constexpr char kNoDumps[] = "none (LocalDumps is not configured)";
constexpr char kLoaderLockHeld[] =
    "not written: the loader lock is held (by the crashed thread, or one that stopped), and "
    "writing a dump in the process waits for it";
// Written after the event, if it can be: dbghelp allocates from the heaps the crash holds.
constexpr char kPendingDump[] = "pending";

const HeldLockCrash kCrashes[] = {
    {"FaultInDllMainTimeCodeAtCreation", "createlock:User=loader;createcrash:User=av", "loader",
     "ZELTAR_User.clsCurrentUser (creating the object)", false, kNoDumps, kCrashToEndMs},
    {"FaultInDllMainTimeCodeAtCreationWithLocalDumps", "createlock:User=loader;createcrash:User=av",
     "loader", "ZELTAR_User.clsCurrentUser (creating the object)", true, kLoaderLockHeld,
     kCrashToEndMs},
    {"FaultHoldingTheHeapLocks", "lock:Viewer.Show_Results=heap;crash:Viewer.Show_Results=av",
     "heap", "velmonic.labresultviewer.Show_Results", false, kNoDumps, kCrashToEndMs},
    {"FaultHoldingTheHeapLocksWithLocalDumps",
     "lock:Viewer.Show_Results=heap;crash:Viewer.Show_Results=av", "heap",
     "velmonic.labresultviewer.Show_Results", true, kPendingDump, kMinidumpEndMs},
};

void PrintTo(const HeldLockCrash& crash, std::ostream* out) {
    *out << crash.name;
}

class CrashHoldingALock : public ProgramTest, public testing::WithParamInterface<HeldLockCrash> {};

TEST_P(CrashHoldingALock, EndsOnTimeWithItsCodeAndLeavesItsEventAndNoPartialDump) {
    const HeldLockCrash& crash = GetParam();
    const ApplicationEventWatch events;
    if (const auto cannot = WhyItCannotRun(events))
        BREVANTO_SKIP(cannot->category, cannot->why);
    const DumpsAsked dumps(crash.dumps);
    ProgramRun run(crash.scenario, events.WineChannels());
    UnattendedWatch watch(run.ProcessId());
    const int status = run.WaitForExit(20000);
    watch.Stop();
    ASSERT_EQ(watch.Problem(), "");

    const auto journal = run.Journal();
    const auto locks = LinesOfKind(journal, "lock");
    ASSERT_EQ(locks.size(), 1u) << "the stand-in took no lock";
    EXPECT_EQ(SeenValue(locks[0], "what"), crash.lock);
    const auto crashes = LinesOfKind(journal, "crash");
    ASSERT_EQ(crashes.size(), 1u) << "the stand-in did not crash as the scenario asks";

    EXPECT_EQ(Hex(status), "0xC0000005") << (status == -1 ? "still running 20 s later" : "");
    EXPECT_LE(Ms(run.ExitUs() - crashes[0].enterUs), crash.crashToEndMs);
    EXPECT_FALSE(watch.DialogSeen()) << "a dialog of the program appeared";
    EXPECT_EQ(watch.DebuggersStarted(), 0u) << "Wine's crash handler was started";

    const auto written = events.EventsOf(run);
    ASSERT_EQ(written.size(), 1u) << "no event, or more than one";
    const EventSeen& event = written[0];
    EXPECT_EQ(event.id, 1100u);
    EXPECT_EQ(EventLine(event, "Faulting module").rfind("BrevantoStandin.dll at offset 0x", 0), 0u)
        << EventLine(event, "Faulting module");
    EXPECT_EQ(EventLine(event, "Module path"), Utf8(ProgramDirectory() + L"\\BrevantoStandin.dll"));
    EXPECT_EQ(EventLine(event, "Member being called"), crash.member);
    EXPECT_EQ(EventLine(event, "Exit status"), "0xC0000005");

    const std::wstring dumpName = L"Brevanto.exe." + std::to_wstring(run.ProcessId()) + L".dmp";
    if (std::string(crash.dumpLine) == kPendingDump) {
        EXPECT_EQ(EventLine(event, "Dump"),
                  Utf8(dumps.Folder() + L"\\" + dumpName) +
                      ", written after this event (a dump not finished within 5.000 s of the "
                      "crash is deleted)");
    } else {
        EXPECT_EQ(EventLine(event, "Dump"), crash.dumpLine);
    }
    // A dump whole, or none: never a partial file.
    for (const std::wstring& name : FilesIn(dumps.Folder())) {
        EXPECT_EQ(Utf8(name), Utf8(dumpName));
        EXPECT_TRUE(ReadDump(dumps.Folder() + L"\\" + name).exceptionStream) << Utf8(name);
    }
}

INSTANTIATE_TEST_SUITE_P(HeldLock, CrashHoldingALock, testing::ValuesIn(kCrashes), kRowName);

struct HeldLockHang {
    const char* name;
    const char* lock;
    bool dumps;
};

const HeldLockHang kHangs[] = {
    {"HoldingTheHeapLocks", "heap", false},
    {"HoldingTheHeapLocksWithLocalDumps", "heap", true},
    {"HoldingTheLoaderLock", "loader", false},
    {"HoldingTheLoaderLockWithLocalDumps", "loader", true},
};

void PrintTo(const HeldLockHang& hang, std::ostream* out) {
    *out << hang.name;
}

class ComponentStopsHoldingALock : public ProgramTest,
                                   public testing::WithParamInterface<HeldLockHang> {};

// Test, pressed once the job is done, holds the window thread for good with the lock taken: the
// exit guard ends the completed run on time, and its last words are the run's event.
TEST_P(ComponentStopsHoldingALock, TheExitGuardEndsTheRunOnTimeAndItsEventIsWritten) {
    const HeldLockHang& hang = GetParam();
    const ApplicationEventWatch events;
    if (const auto cannot = WhyItCannotRun(events))
        BREVANTO_SKIP(cannot->category, cannot->why);
    const DumpsAsked dumps(hang.dumps);
    ProgramRun run(std::string("lock:Classes.OpenMainReport=") + hang.lock +
                       ";block:Classes.OpenMainReport=60000",
                   events.WineChannels());
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    const std::int64_t armedUs = NowUs();
    run.Click(kCmdTestId);
    const int status = run.WaitForExit(20000);
    const auto locks = LinesOfKind(run.Journal(), "lock");
    ASSERT_EQ(locks.size(), 1u) << "the stand-in took no lock";
    EXPECT_EQ(SeenValue(locks[0], "what"), hang.lock);
    // The job completed: status 0, though the guard ends the program.
    EXPECT_EQ(status, 0) << (status == -1 ? "still running 20 s later" : "");
    const double endedMs = Ms(run.ExitUs() - armedUs);
    EXPECT_GE(endedMs, EarliestExitMs(ExitArmedAfter::DriverSawIt));
    // The exit time, the guard's grace, its last words' time, and the driver's noticing.
    EXPECT_LE(endedMs, kArmedExitMs + 1000.0 + 500.0 + 700.0);

    const auto written = events.EventsOf(run);
    ASSERT_EQ(written.size(), 1u) << "no event, or more than one";
    EXPECT_EQ(written[0].id, 1000u);
    EXPECT_EQ(written[0].text.substr(0, written[0].text.find("\r\n")), "The report job completed.");
    EXPECT_EQ(EventLine(written[0], "Part"), "8");
    EXPECT_TRUE(FilesIn(dumps.Folder()).empty());
}

INSTANTIATE_TEST_SUITE_P(HeldLock, ComponentStopsHoldingALock, testing::ValuesIn(kHangs), kRowName);

} // namespace
} // namespace brevanto::e2e
