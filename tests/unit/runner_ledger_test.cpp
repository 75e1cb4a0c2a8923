#include <gtest/gtest.h>

#include "tests/runner/core/ledger.h"

namespace brevanto::runner {
namespace {

// Each record as "name:outcome[ (message)][ +allowances][ ~windows-only]", "name:-" for one that
// has not ended; then "| running: name" and "| remaining: names".
std::string Shown(const Ledger& ledger) {
    std::string shown;
    for (const TestRecord& record : ledger.Records()) {
        shown += record.name + ":" +
                 (record.done ? std::string(OutcomeWord(record.outcome)) : std::string("-"));
        if (!record.message.empty())
            shown += " (" + record.message + ")";
        for (const std::string& why : record.allowances)
            shown += " +" + why;
        for (const std::string& what : record.windowsOnly)
            shown += " ~" + what;
        shown += "; ";
    }
    shown += "| running: " + ledger.Running() + " | remaining:";
    for (const std::string& name : ledger.Remaining())
        shown += " " + name;
    return shown;
}

// An event: a driver's line, or "!ended <why>" (the driver ended), or "!fail <why>" (no more
// starts).
void Apply(Ledger& ledger, const std::string& event) {
    if (event.starts_with("!ended "))
        ledger.DriverEnded(event.substr(7));
    else if (event.starts_with("!fail "))
        ledger.FailRemaining(event.substr(6));
    else
        ledger.TakeLine(event);
}

TEST(RunnerLedger, CountsEachTestFromItsLinesAndWhatEndedItsDriver) {
    const std::vector<std::string> listed{"S.A", "S.B", "S.C"};
    struct Case {
        const char* name;
        std::vector<std::string> events;
        const char* shown;
    };
    const Case cases[] = {
        {"nothing yet", {}, "S.A:-; S.B:-; S.C:-; | running:  | remaining: S.A S.B S.C"},
        {"one passes, one runs",
         {"@brevanto-test start S.A", "@brevanto-test end S.A passed 5",
          "@brevanto-test start S.B"},
         "S.A:passed; S.B:-; S.C:-; | running: S.B | remaining: S.C"},
        {"a crash fails the running test only",
         {"@brevanto-test start S.A", "@brevanto-test end S.A failed 5", "@brevanto-test start S.B",
          "!ended the driver crashed"},
         "S.A:failed; S.B:failed (the driver crashed); S.C:-; | running:  | remaining: S.C"},
        {"a driver that ends between tests fails none",
         {"@brevanto-test start S.A", "@brevanto-test end S.A passed 1", "!ended gone"},
         "S.A:passed; S.B:-; S.C:-; | running:  | remaining: S.B S.C"},
        {"what never reported fails when no start is left",
         {"@brevanto-test start S.A", "!fail never reported"},
         "S.A:failed (never reported); S.B:failed (never reported); S.C:failed (never "
         "reported); | running:  | remaining:"},
        {"a skip keeps its text",
         {"@brevanto-test start S.C", "@brevanto-test end S.C skipped 0 no-witness: slow"},
         "S.A:-; S.B:-; S.C:skipped (no-witness: slow); | running:  | remaining: S.A S.B"},
        {"allowances and Windows-only checks go to their test",
         {"@brevanto-test start S.A", "@brevanto-test allowance S.A Wine's log",
          "@brevanto-test windows-only S.A WerFault", "@brevanto-test end S.A passed 1"},
         "S.A:passed +Wine's log ~WerFault; S.B:-; S.C:-; | running:  | remaining: S.B S.C"},
        {"a start with no end before the next start",
         {"@brevanto-test start S.A", "@brevanto-test start S.B"},
         "S.A:failed (it reported no end before the next test started); S.B:-; S.C:-; | "
         "running: S.B | remaining: S.C"},
        {"a test the listing did not name still counts",
         {"@brevanto-test start T.X", "@brevanto-test end T.X passed 2"},
         "S.A:-; S.B:-; S.C:-; T.X:passed; | running:  | remaining: S.A S.B S.C"},
        {"a restarted driver runs the rest",
         {"@brevanto-test start S.A", "!ended hung", "@brevanto-test start S.B",
          "@brevanto-test end S.B passed 1", "@brevanto-test start S.C",
          "@brevanto-test end S.C passed 1"},
         "S.A:failed (hung); S.B:passed; S.C:passed; | running:  | remaining:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ledger ledger(listed);
        for (const std::string& event : c.events)
            Apply(ledger, event);
        EXPECT_EQ(Shown(ledger), c.shown);
    }
}

TEST(RunnerLedger, KeepsWhatTheDriverWroteWhileATestRan) {
    Ledger ledger({"S.A"});
    for (const char* line : {"before", "@brevanto-test start S.A", "[ RUN      ] S.A",
                             "x.cpp:3: Failure", "@brevanto-test end S.A failed 1", "after"})
        ledger.TakeLine(line);
    EXPECT_EQ(ledger.Records()[0].output, "[ RUN      ] S.A\nx.cpp:3: Failure\n");
}

TEST(RunnerLedger, KeepsAnAllowanceReportedOutsideAnyTestApart) {
    Ledger ledger({"S.A"});
    ledger.TakeLine("@brevanto-test allowance none a set-up's");
    EXPECT_EQ(ledger.UnattributedLines(),
              std::vector<std::string>{"@brevanto-test allowance none a set-up's"});
    EXPECT_TRUE(ledger.Records()[0].allowances.empty());
}

} // namespace
} // namespace brevanto::runner
