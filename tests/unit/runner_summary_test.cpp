#include <gtest/gtest.h>

#include "tests/runner/core/summary.h"

namespace brevanto::runner {
namespace {

TestRecord Ended(const char* name, Outcome outcome, const char* message = "",
                 std::vector<std::string> allowances = {}) {
    TestRecord record = NewTestRecord(name);
    record.started = true;
    record.done = true;
    record.outcome = outcome;
    record.message = message;
    record.allowances = std::move(allowances);
    return record;
}

TEST(RunnerSummary, TheLastLineCountsEachOutcome) {
    struct Case {
        const char* name;
        std::vector<TestRecord> tests;
        const char* line;
    };
    const Case cases[] = {
        {"none", {}, "0 passed, 0 failed, 0 skipped"},
        {"each",
         {Ended("a", Outcome::Passed), Ended("b", Outcome::Failed), Ended("c", Outcome::Skipped),
          Ended("d", Outcome::Passed)},
         "2 passed, 1 failed, 1 skipped"},
        {"one that never ended counts as failed",
         {NewTestRecord("e")},
         "0 passed, 1 failed, 0 skipped"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LastLine(CountOf(c.tests)), c.line);
    }
}

TEST(RunnerSummary, AStrictRunFailsRefusedSkipsAndUnlistedAllowancesUnderWine) {
    const std::vector<TestRecord> tests{
        Ended("S.NoCategory", Outcome::Skipped, "just skipped"),
        Ended("S.Categorised", Outcome::Skipped, "no-witness: slow"),
        Ended("S.WineOnly", Outcome::Skipped, "wine-only: x"),
        Ended("S.Unlisted", Outcome::Passed, "", {"why"}),
        Ended("S.FailedAnyway", Outcome::Failed, "", {"why"}),
    };
    const AllowanceComparison comparison{{{"S.Unlisted", "why"}, {"S.FailedAnyway", "why"}}, {}};
    struct Case {
        const char* name;
        RunPlace place;
        const char* counted;
    };
    const Case cases[] = {
        {"under Wine",
         {true, false, true},
         "S.NoCategory:failed S.Categorised:skipped S.WineOnly:failed S.Unlisted:failed "
         "S.FailedAnyway:failed "},
        {"on Windows, where no allowance is taken",
         {false, false, false},
         "S.NoCategory:failed S.Categorised:skipped S.WineOnly:skipped S.Unlisted:passed "
         "S.FailedAnyway:failed "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TestRecord> counted = tests;
        CountAsFailed(counted, Refusals(tests, c.place, comparison));
        std::string shown;
        for (const TestRecord& test : counted)
            shown += test.name + ":" + std::string(OutcomeWord(test.outcome)) + " ";
        EXPECT_EQ(shown, c.counted);
    }
}

TEST(RunnerSummary, ARefusedTestSaysWhyAStrictRunFailedIt) {
    std::vector<TestRecord> tests{Ended("S.A", Outcome::Skipped, "skip")};
    CountAsFailed(tests, Refusals(tests, {true, false, true}, {}));
    EXPECT_EQ(tests[0].message,
              "strict run: the skip names no category (\"<category>: <why>\"): \"skip\"");
}

TEST(RunnerSummary, SaysWhatFailedWhatWasSkippedAndWhatWineWasAllowed) {
    const std::vector<TestRecord> tests{
        Ended("S.A", Outcome::Failed, "x.cpp:1: Failure\nmore"),
        Ended("S.B", Outcome::Skipped, "no-witness: slow"),
        Ended("S.C", Outcome::Passed, "", {"Wine's log", "Wine's log"}),
        Ended("S.D", Outcome::Passed, "", {"Wine's log"}),
    };
    const AllowanceComparison comparison{{}, {{"x64", "S.D", "tick", 9}}};
    EXPECT_EQ(SummaryLines(tests, comparison, {{"S.B", "why"}}, false),
              (std::vector<std::string>{
                  "FAILED S.A: x.cpp:1: Failure",
                  "Skipped, no-witness: 1",
                  "  S.B: no-witness: slow",
                  "Wine allowances taken (tests, why):",
                  "  2  Wine's log",
                  "Listed allowance not taken (line 9): S.D\ttick",
                  "A strict run would refuse: S.B: why",
              }));
}

TEST(RunnerSummary, EachTestsAllowancesAreTakenOnceAndOnlyTestsThatEndedRan) {
    TestRecord unfinished = NewTestRecord("S.Unfinished");
    unfinished.started = true;
    unfinished.allowances = {"c"};
    const std::vector<TestRecord> tests{
        Ended("S.A", Outcome::Passed, "", {"a", "b", "a"}),
        Ended("S.B", Outcome::Failed, "", {"a"}),
        NewTestRecord("S.NeverStarted"),
        unfinished,
    };
    std::string taken;
    for (const TakenAllowance& allowance : TakenAllowances(tests))
        taken += allowance.test + "|" + allowance.why + " ";
    EXPECT_EQ(taken, "S.A|a S.A|b S.B|a S.Unfinished|c ");
    EXPECT_EQ(TestsThatRan(tests), (std::vector<std::string>{"S.A", "S.B"}));
}

} // namespace
} // namespace brevanto::runner
