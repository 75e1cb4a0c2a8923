#include <gtest/gtest.h>

#include "report/report_job.h"
#include "report/test_action.h"
#include "tests/unit/fakes.h"

namespace brevanto::testing {
namespace {

const std::vector<std::wstring> kTestCalls = {
    L"User.get ZELTARClasses",
    L"Classes.put ExportFileName \"temp.pdf\"",
    L"Classes.put ExportFilePath \"C:\\temp\\\"",
    L"Classes.put directprint true",
    L"Classes.put PDFPrintMode i2:1",
    L"Classes.call OpenMainReport \"testreport.rpt\" \"\" \"\"",
};

TEST(TestAction, EachPressRepeatsTheWholeSequence) {
    CallJournal journal;
    FakeFactory factory(journal);
    WindowState state;
    state.User = factory.Create(kUserClass);
    journal.calls.clear();

    RunTestReport(state);
    RunTestReport(state);

    std::vector<std::wstring> twice = kTestCalls;
    twice.insert(twice.end(), kTestCalls.begin(), kTestCalls.end());
    EXPECT_EQ(journal.calls, twice);
}

TEST(TestAction, WithoutTheUserComponentItRaises) {
    WindowState state;
    EXPECT_THROW(RunTestReport(state), RunError);
}

TEST(TestAction, ComponentErrorReachesTheCaller) {
    CallJournal journal;
    FakeFactory factory(journal);
    WindowState state;
    state.User = factory.Create(kUserClass);
    journal.failures[L"Classes.OpenMainReport"] = L"Report file not found";
    try {
        RunTestReport(state);
        FAIL() << "no error";
    } catch (const RunError& error) {
        EXPECT_EQ(error.Description(), L"Report file not found");
    }
}

TEST(TestAction, PressedDuringTheJobLeavesTheLogAndCaptionAlone) {
    MemoryStore store;
    CallJournal journal;
    FakeFactory factory(journal);
    FakeWindow window;
    std::vector<std::wstring> nested;
    window.onEvents = [&] {
        if (window.eventRuns == 12) { // at "Show_Results "
            const auto before = journal.calls.size();
            RunTestReport(window.state);
            nested.assign(journal.calls.begin() + before, journal.calls.end());
        }
    };
    GenerateReport(window, store, factory, L"C:\\Lab");
    EXPECT_EQ(nested, kTestCalls);
    EXPECT_EQ(window.caption, L"Lab Report Generator EXE");
    EXPECT_EQ(window.state.CurrentPart, 8);
    EXPECT_EQ(window.state.Outcome, JobOutcome::Completed);
    EXPECT_EQ(std::count(window.log.begin(), window.log.end(), L'\n'), 13);
}

} // namespace
} // namespace brevanto::testing
