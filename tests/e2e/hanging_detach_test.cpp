#include "tests/e2e/program_test.h"

#include <algorithm>
#include <ostream>

namespace brevanto::e2e {
namespace {

using support::LinesOfKind;

// A component whose DLL_PROCESS_DETACH never returns: the program must end without running it.
struct HangingDetach {
    const char* name;
    std::string scenario;
    int status;
    bool boxInShowResults; // the viewer shows a box nobody answers, whose loop serves our timers
    // The end, in ms after the program's start, or after Show_Results returned when it does.
    double earliestMs;
    double latestMs;
    DWORD timeoutMs;
};

const HangingDetach kRuns[] = {
    // The exit timer, re-armed when Show_Results returns, ends the completed run.
    {"CompletedRun", "hangdetach", 0, false, EarliestExitMs(ExitArmedAfter::CallReturned),
     kLatestExitMs, 15000},
    // The box's loop serves the 20 s exit timer while Show_Results is still on the stack.
    {"UnansweredBoxInShowResults", "box:Viewer.Show_Results;hangdetach", 2, true, 20000.0, 21500.0,
     30000},
};

void PrintTo(const HangingDetach& hanging, std::ostream* out) {
    *out << hanging.name;
}

class DetachThatNeverReturns : public ProgramTest,
                               public testing::WithParamInterface<HangingDetach> {};

TEST_P(DetachThatNeverReturns, HoldsNoExitAndIsNeverRun) {
    const HangingDetach& hanging = GetParam();
    ProgramRun run(hanging.scenario);
    const int status = run.WaitForExit(hanging.timeoutMs);
    EXPECT_EQ(status, hanging.status)
        << (status == -1 ? "still running " + std::to_string(hanging.timeoutMs) + " ms later" : "");

    const auto journal = run.Journal();
    // The DLL's detach code did not run at all, so it could not hold the exit either.
    const auto detaches = LinesOfKind(journal, "detach");
    EXPECT_TRUE(detaches.empty()) << detaches.front().Text();
    const JournalCall* show = FindCall(journal, "Viewer.call Show_Results");
    if (hanging.boxInShowResults) {
        ASSERT_EQ(LinesOfKind(journal, "box").size(), 1u) << "the viewer showed no box";
        EXPECT_FALSE(show) << "Show_Results returned: somebody answered the box";
        const double endedMs = Ms(run.ExitUs() - run.StartUs());
        EXPECT_GE(endedMs, hanging.earliestMs);
        EXPECT_LE(endedMs, hanging.latestMs);
    } else {
        ASSERT_TRUE(show);
        const double endedMs = Ms(run.ExitUs() - show->exitUs);
        EXPECT_GE(endedMs, hanging.earliestMs);
        EXPECT_LE(endedMs, hanging.latestMs);
    }
}

INSTANTIATE_TEST_SUITE_P(Exit, DetachThatNeverReturns, testing::ValuesIn(kRuns), kRowName);

} // namespace
} // namespace brevanto::e2e
