#include "tests/e2e/program_test.h"

#include "app/window_layout.h"

namespace brevanto::e2e {
namespace {

// The exit time may pass by at most the guard's grace (1000 ms), plus the time Wine takes to
// end a process and the driver to see it.
constexpr double kGraceMs = 1000.0;
constexpr double kSlackMs = 700.0;

struct HeldCall {
    const char* name;
    std::string scenario;
    int status;
};

// A component call that never lets the window thread serve its exit timer.
const HeldCall kHeldCalls[] = {
    // A synchronous print or a stalled read: no message is served at all.
    {"Blocking", "block:Viewer.Show_Results=60000", 5},
    // Cancel is served inside the viewer's loop, which then swallows the quit and goes on.
    {"CancelledThenQuitSwallowed",
     "click:Viewer.Show_Results=Cancel;swallow:Viewer.Show_Results=60000", 3},
};

class HeldPastTheExitTime : public ProgramTest, public testing::WithParamInterface<HeldCall> {};

TEST_P(HeldPastTheExitTime, ProgramEndsTwentySecondsAfterItsStart) {
    ProgramRun run(GetParam().scenario);
    ASSERT_TRUE(run.Window());
    EXPECT_EQ(run.WaitForExit(40000), GetParam().status);
    const double endedMs = Ms(run.ExitUs() - run.StartUs());
    EXPECT_GE(endedMs, 20000.0);
    EXPECT_LE(endedMs, 20000.0 + kGraceMs + kSlackMs);
    // Ended from outside: the viewer's call never returned, so it never journaled its end.
    for (const auto& call : run.Calls())
        EXPECT_NE(call, "Viewer.call Show_Results");
}

INSTANTIATE_TEST_SUITE_P(ExitGuard, HeldPastTheExitTime, testing::ValuesIn(kHeldCalls), kRowName);

TEST_F(ProgramTest, ReArmedExitTimeHoldsWhenATestCallBlocksAfterTheJob) {
    ProgramRun run("block:Classes.OpenMainReport=60000");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    const std::int64_t armedUs = NowUs();
    run.Click(kCmdTestId);
    // The job completed: status 0, though the guard ends the program.
    EXPECT_EQ(run.WaitForExit(20000), 0);
    const double endedMs = Ms(run.ExitUs() - armedUs);
    EXPECT_GE(endedMs, EarliestExitMs(ExitArmedAfter::DriverSawIt));
    EXPECT_LE(endedMs, kArmedExitMs + kGraceMs + kSlackMs);
}

} // namespace
} // namespace brevanto::e2e
