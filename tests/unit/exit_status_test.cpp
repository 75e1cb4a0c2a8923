#include <gtest/gtest.h>

#include "app/core/exit_status.h"

namespace brevanto::testing {
namespace {

TEST(ExitStatus, EachWayOfEndingGivesItsStatus) {
    struct Case {
        const char* name;
        RunFacts facts;
        EndedBy endedBy;
        int status;
    };
    constexpr auto NotFinished = JobOutcome::NotFinished;
    constexpr auto Completed = JobOutcome::Completed;
    constexpr auto Failed = JobOutcome::Failed;
    const Case cases[] = {
        {"completed, exit timer", {Completed, false, false}, EndedBy::ExitTimer, 0},
        {"completed, then Cancel", {Completed, true, false}, EndedBy::Cancel, 0},
        {"completed, guard (a Test call hung)", {Completed, false, false}, EndedBy::ExitGuard, 0},
        {"failed, exit timer", {Failed, false, false}, EndedBy::ExitTimer, 1},
        {"failed, guard", {Failed, true, false}, EndedBy::ExitGuard, 1},
        {"cut off at an event run", {NotFinished, false, false}, EndedBy::ExitTimer, 2},
        {"Cancel in the job", {NotFinished, true, false}, EndedBy::Cancel, 3},
        {"Cancel, then a call swallowed the quit",
         {NotFinished, true, false},
         EndedBy::ExitGuard,
         3},
        {"a call held the thread past the exit time",
         {NotFinished, false, false},
         EndedBy::ExitGuard,
         5},
        // The exit timer fires under the error's message box: still the error's status.
        {"unhandled error, job completed", {Completed, false, true}, EndedBy::ExitTimer, 4},
        {"unhandled error, job failed", {Failed, false, true}, EndedBy::ExitTimer, 4},
        {"unhandled error, job running", {NotFinished, false, true}, EndedBy::ExitTimer, 4},
        {"unhandled error, guard", {NotFinished, true, true}, EndedBy::ExitGuard, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExitStatusFor(c.facts, c.endedBy), c.status);
    }
}

} // namespace
} // namespace brevanto::testing
