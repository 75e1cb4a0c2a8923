#include "tests/e2e/program_test.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <ostream>

#include "app/window_layout.h"
#include "tests/e2e/unattended_watch.h"

namespace brevanto::e2e {
namespace {

using support::LinesOfKind;

// From the crash to the process's end, as the driver sees it.
constexpr double kCrashToEndMs = 1000.0;
// Long enough for any crash below to end the program; a program that hangs is killed then.
constexpr DWORD kExitTimeoutMs = 10000;

std::string Hex(int status) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status));
    return text;
}

struct Crash {
    const char* name;
    std::string scenario;
    // Where the stand-in's crash line says it crashes, and how.
    std::string object;
    std::string member;
    std::string how;
    std::string where;
    DWORD code;
    bool jobCompletes = false;      // the job shows its 13 lines before the crash
    bool testAfterJob = false;      // Test is pressed then
    bool reporterInstalled = false; // a component made its crash reporter the process's filter
    // For a crash on a component's timer: its time after Show_Results returned.
    std::optional<double> afterShowResultsMs{};
};

const Crash kCrashes[] = {
    {.name = "AccessViolationInShowResults",
     .scenario = "crash:Viewer.Show_Results=av",
     .object = "Viewer",
     .member = "Show_Results",
     .how = "av",
     .where = "call",
     .code = 0xC0000005},
    {.name = "CppExceptionEscapesLoginUser",
     .scenario = "crash:User.LoginUser=cpp",
     .object = "User",
     .member = "LoginUser",
     .how = "cpp",
     .where = "call",
     .code = 0xE06D7363},
    {.name = "StackOverflowInSetDllVer",
     .scenario = "crash:Viewer.SetDLLVer=stack",
     .object = "Viewer",
     .member = "SetDLLVer",
     .how = "stack",
     .where = "call",
     .code = 0xC00000FD},
    {.name = "AccessViolationInTheTestAction",
     .scenario = "crash:Classes.OpenMainReport=av",
     .object = "Classes",
     .member = "OpenMainReport",
     .how = "av",
     .where = "call",
     .code = 0xC0000005,
     .jobCompletes = true,
     .testAfterJob = true},
    // The viewer's own window gets a timer in Show_Results; the program's loop serves it while
    // the program waits for its exit time.
    {.name = "AccessViolationInAComponentsWindowAfterItsCall",
     .scenario = "crashlater:Viewer.Show_Results=500",
     .object = "Viewer",
     .member = "Show_Results",
     .how = "av",
     .where = "timer",
     .code = 0xC0000005,
     .jobCompletes = true,
     .afterShowResultsMs = 500.0},
    {.name = "ComponentsCrashReporterIsPassedBy",
     .scenario = "crashfilter:User.LoginUser;crash:Viewer.Show_Results=av",
     .object = "Viewer",
     .member = "Show_Results",
     .how = "av",
     .where = "call",
     .code = 0xC0000005,
     .reporterInstalled = true},
};

void PrintTo(const Crash& crash, std::ostream* out) {
    *out << crash.name;
}

class CrashInAComponent : public ProgramTest, public testing::WithParamInterface<Crash> {};

TEST_P(CrashInAComponent, EndsTheProgramAtOnceWithTheExceptionCodeAndNoDialog) {
    const Crash& crash = GetParam();
    ProgramRun run(crash.scenario);
    // Watched from the start: a crash early in the job may end the program before its window
    // is even found.
    UnattendedWatch watch(run.ProcessId());
    if (crash.jobCompletes) {
        ASSERT_TRUE(run.WaitForLogLines(13, 10000)) << Utf8(run.LastLog());
    }
    if (crash.testAfterJob)
        run.Click(kCmdTestId);
    const int status = run.WaitForExit(kExitTimeoutMs);
    watch.Stop();
    ASSERT_EQ(watch.Problem(), "");

    const auto journal = run.Journal();
    const auto crashes = LinesOfKind(journal, "crash");
    ASSERT_EQ(crashes.size(), 1u) << "the stand-in did not crash as the scenario asks";
    EXPECT_EQ(crashes[0].object, crash.object);
    EXPECT_EQ(crashes[0].member, crash.member);
    EXPECT_EQ(SeenValue(crashes[0], "how"), crash.how);
    EXPECT_EQ(SeenValue(crashes[0], "where"), crash.where);

    // As Windows reports a crashed process: its status is the exception code.
    EXPECT_EQ(Hex(status), Hex(static_cast<int>(crash.code)))
        << (status == -1 ? "still running " + std::to_string(kExitTimeoutMs) + " ms later" : "");
    EXPECT_LE(Ms(run.ExitUs() - crashes[0].enterUs), kCrashToEndMs);
    EXPECT_FALSE(watch.DialogSeen()) << "a dialog of the program appeared";
    EXPECT_EQ(watch.DebuggersStarted(), 0u) << "a debugger was started:\n" << watch.DebuggersSeen();

    // No component code ran on the way out: not its crash reporter, not its detach.
    for (const auto& filter : LinesOfKind(journal, "filter"))
        EXPECT_NE(SeenValue(filter, "event"), "ran") << filter.Text();
    const auto detaches = LinesOfKind(journal, "detach");
    EXPECT_TRUE(detaches.empty()) << detaches.front().Text();
    if (crash.reporterInstalled) {
        const auto filters = LinesOfKind(journal, "filter");
        ASSERT_FALSE(filters.empty()) << "the stand-in installed no crash reporter";
        EXPECT_EQ(SeenValue(filters[0], "event"), "installed");
    }

    if (crash.jobCompletes) {
        EXPECT_EQ(LogLines(run.LastLog()), EmptyStoreLog(ProgramDirectory()));
    }
    if (crash.afterShowResultsMs) {
        const JournalCall* show = FindCall(journal, "Viewer.call Show_Results");
        ASSERT_TRUE(show);
        // A timer fires hardly early, and the window thread is idle then, so hardly late either.
        const double laterMs = Ms(crashes[0].enterUs - show->exitUs);
        EXPECT_GE(laterMs, *crash.afterShowResultsMs - TimerEarlyMs());
        EXPECT_LE(laterMs, *crash.afterShowResultsMs + 500.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Crash, CrashInAComponent, testing::ValuesIn(kCrashes), kRowName);

// The Visual Basic runtime catches a stack overflow in a component's code in a frame handler of
// its own and raises it as the trappable "Out of stack space". That handler runs before the
// unhandled-exception filter, and nothing of the launcher's may end the overflow before it: the
// run takes the failure path with the component's description. Windows dispatches an overflow on
// the stack it guarantees, in both builds. 64-bit Wine cannot run any handler on what stack it
// leaves after an overflow and hangs the thread, so there the launcher ends the overflow first,
// before the component's handler.
TEST_F(ProgramTest, StackOverflowAComponentHandlesItselfTakesTheFailurePath) {
    ProgramRun run("overflow:Viewer.SetDLLVer=Out of stack space");
    UnattendedWatch watch(run.ProcessId());
    // Where the launcher ends the overflow, the run may end before its window is found.
    const bool failed = run.TryWindow() && run.WaitForFailure(kExitTimeoutMs);
    const int status = run.WaitForExit(kExitTimeoutMs);
    watch.Stop();
    ASSERT_EQ(watch.Problem(), "");
    EXPECT_FALSE(watch.DialogSeen()) << "a dialog of the program appeared";
    EXPECT_EQ(watch.DebuggersStarted(), 0u) << "a debugger was started:\n" << watch.DebuggersSeen();

    const auto overflows = LinesOfKind(run.Journal(), "overflow");
    ASSERT_FALSE(overflows.empty()) << "the stand-in did not overflow as the scenario asks";
    EXPECT_EQ(SeenValue(overflows[0], "event"), "start");
    const bool handled = overflows.size() == 2 && SeenValue(overflows[1], "event") == "handled";
    const bool endedFirst = sizeof(void*) == 8 && overflows.size() == 1 &&
                            Hex(status) == "0xC00000FD" &&
                            Ms(run.ExitUs() - overflows[0].enterUs) <= kCrashToEndMs;
    ASSERT_TRUE(handled || WineOnly(endedFirst, "64-bit Wine hangs a thread whose stack "
                                                "overflowed, so the program ends the overflow "
                                                "before the component's own handler"))
        << overflows.size() << " overflow lines, exit status " << Hex(status);
    if (!handled)
        return;
    EXPECT_EQ(SeenValue(overflows[1], "code"), "0xC00000FD");
    EXPECT_TRUE(failed);
    EXPECT_EQ(run.LastLog(), L"Brevanto.exe Generate Out of stack space Part:6");
    EXPECT_EQ(Hex(status), Hex(1));
}

} // namespace
} // namespace brevanto::e2e
