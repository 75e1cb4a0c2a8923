#include "tests/e2e/program_test.h"

#include "app/window_layout.h"

namespace brevanto::e2e {
namespace {

const std::vector<std::string> kTestCalls = TestButtonCalls();

TEST_F(ProgramTest, TestAfterTheJobRepeatsTheWholeSequenceOnEachPress) {
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    const std::wstring log = run.Log();
    const std::size_t before = run.Calls().size();

    run.Click(kCmdTestId);
    ASSERT_TRUE(run.WaitForCall(kTestCalls.back(), 1, 3000));
    run.Click(kCmdTestId);
    ASSERT_TRUE(run.WaitForCall(kTestCalls.back(), 2, 3000));

    const auto calls = run.Calls();
    std::vector<std::string> expected = kTestCalls;
    expected.insert(expected.end(), kTestCalls.begin(), kTestCalls.end());
    EXPECT_EQ(std::vector<std::string>(calls.begin() + before, calls.end()), expected);
    EXPECT_EQ(run.Log(), log);
    EXPECT_EQ(run.Caption(), kMainWindowCaption);
    EXPECT_EQ(run.EndWithCancel(3000), 0);
}

TEST_F(ProgramTest, TestServedInsideTheJobLeavesTheJobAlone) {
    ProgramRun run("click:Viewer.Show_Results=Test;pump:Viewer.Show_Results=400");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(LogLines(run.Log()), EmptyStoreLog(ProgramDirectory()));
    EXPECT_EQ(run.Caption(), kMainWindowCaption);
    EXPECT_EQ(run.EndWithCancel(3000), 0);

    // The Test calls ran inside Show_Results, in order.
    const auto journal = run.Journal();
    const JournalCall* show = FindCall(journal, "Viewer.call Show_Results");
    ASSERT_TRUE(show);
    std::vector<std::string> nested;
    for (const auto& call : journal)
        if (call.enterUs > show->enterUs && call.exitUs < show->exitUs && call.kind != "create")
            nested.push_back(call.Text());
    EXPECT_EQ(nested, kTestCalls);
}

TEST_F(ProgramTest, TestWithoutUserComponentShowsAMessageAndTheRunEndsOnItsTimer) {
    ClassesKeyRemoved removed(kUserProgId);
    ProgramRun run;
    ASSERT_TRUE(run.WaitForFailure(10000));
    const std::wstring caption = run.Caption();
    const std::int64_t failedUs = NowUs();
    run.Click(kCmdTestId);
    const auto box = WaitForMessageBox(run, 3000);
    ASSERT_TRUE(box.box);
    EXPECT_EQ(box.title, caption);
    EXPECT_EQ(box.text, L"Test needs the user component, which the report job has not created.");
    // Nobody answers the message; the exit timer still ends the program with the job's status.
    EXPECT_EQ(run.WaitForExit(10000), 1);
    EXPECT_LE(Ms(run.ExitUs() - failedUs), kLatestExitMs);
}

TEST_F(ProgramTest, TestWhoseReportFailsShowsTheComponentsDescription) {
    ProgramRun run("fail:Classes.OpenMainReport=Report file testreport.rpt not found");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    run.Click(kCmdTestId);
    const auto box = WaitForMessageBox(run, 3000);
    ASSERT_TRUE(box.box);
    EXPECT_EQ(box.title, kMainWindowCaption);
    EXPECT_EQ(box.text, L"Report file testreport.rpt not found");
    EXPECT_EQ(LogLines(run.Log()).size(), 13u);
    EXPECT_EQ(run.WaitForExit(10000), 0);
}

TEST_F(ProgramTest, TestFailingInsideTheJobWaitsUntilTheJobHasFinished) {
    ProgramRun run("fail:Classes.OpenMainReport=Printer offline;"
                   "click:User.LoginUser=Test");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(LogLines(run.Log()), EmptyStoreLog(ProgramDirectory()));
    const auto box = WaitForMessageBox(run, 3000);
    ASSERT_TRUE(box.box);
    EXPECT_EQ(box.text, L"Printer offline");
    EXPECT_EQ(run.WaitForExit(10000), 0);
}

} // namespace
} // namespace brevanto::e2e
