#include "tests/e2e/program_test.h"

#include <algorithm>

#include "app/window_layout.h"

namespace brevanto::e2e {
namespace {

// A button press posted from inside a component call is served at the job's next log line.
struct EventRun {
    const char* name;
    std::string call;     // the stand-in member that posts the click
    std::size_t line;     // the log line whose event run serves it
    std::string callText; // how the journal shows that call
};

const EventRun kEventRuns[] = {
    {"Line2", "User.SetExePath", 2, "User.put SetExePath"},
    {"Line3", "User.PasswordDeptCode", 3, "User.put PasswordDeptCode"},
    {"Line4", "User.LoginUser", 4, "User.call LoginUser"},
    {"Line5", "Viewer.zeltarUser", 5, "Viewer.put zeltarUser"},
    {"Line7", "Viewer.SetDLLVer", 7, "Viewer.put SetDLLVer"},
    {"Line8", "Viewer.AutoPrint", 8, "Viewer.put AutoPrint"},
    {"Line9", "Viewer.viewmode", 9, "Viewer.put viewmode"},
    {"Line10", "Viewer.loadviewer", 10, "Viewer.put loadviewer"},
    {"Line11", "Viewer.Export", 11, "Viewer.put Export"},
    {"Line13", "Viewer.Show_Results", 13, "Viewer.call Show_Results"},
};

class CancelAtEventRun : public ProgramTest, public testing::WithParamInterface<EventRun> {};

TEST_P(CancelAtEventRun, WindowGoesAndNoFurtherComponentCallIsMade) {
    const EventRun& at = GetParam();
    const RunEnd end = RunToItsEnd("click:" + at.call + "=Cancel", 5000);
    // Once the last line is written the job has completed; before, Cancel cut it short.
    EXPECT_EQ(end.status, at.line == 13 ? 0 : 3);
    EXPECT_LT(end.lifeMs, 4000.0);
    EXPECT_TRUE(end.lastCall.starts_with(at.callText)) << end.lastCall;
    EXPECT_TRUE(end.everyObjectReleased);
}

class TestAtEventRun : public ProgramTest, public testing::WithParamInterface<EventRun> {};

TEST_P(TestAtEventRun, TestCallsRunThereAndTheJobCompletes) {
    const EventRun& at = GetParam();
    ProgramRun run("click:" + at.call + "=Test");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(LogLines(run.Log()), EmptyStoreLog(ProgramDirectory()));
    EXPECT_EQ(run.Caption(), kMainWindowCaption);
    // Give a click served at the last line time to finish before ending the run.
    Sleep(200);
    EXPECT_EQ(run.EndWithCancel(5000), 0);

    const auto calls = run.Calls();
    const auto clicked = std::find_if(calls.begin(), calls.end(), [&](const std::string& c) {
        return c.starts_with(at.callText);
    });
    ASSERT_NE(clicked, calls.end());
    const std::vector<std::string> expected = TestButtonCalls();
    ASSERT_GE(calls.end() - clicked, 7);
    EXPECT_EQ(std::vector<std::string>(clicked + 1, clicked + 7), expected);
    // Apart from the Test calls (a member called twice clicks twice), the job made its usual
    // calls.
    std::vector<std::string> jobCalls;
    for (auto it = calls.begin(); it != calls.end();) {
        if (calls.end() - it >= 6 && std::equal(expected.begin(), expected.end(), it)) {
            it += 6;
        } else {
            jobCalls.push_back(*it++);
        }
    }
    EXPECT_EQ(jobCalls, EmptyStoreCalls(ProgramDirectory()));
}

INSTANTIATE_TEST_SUITE_P(Job, CancelAtEventRun, testing::ValuesIn(kEventRuns), kRowName);
INSTANTIATE_TEST_SUITE_P(Job, TestAtEventRun, testing::ValuesIn(kEventRuns), kRowName);

TEST_F(ProgramTest, TestBeforeTheJobShowsAMessageAndTheJobStillRuns) {
    ProgramRun run;
    ASSERT_TRUE(run.Window());
    run.Click(kCmdTestId);
    // The user component does not exist yet; the job starts anyway, under the message.
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(LogLines(run.Log()), EmptyStoreLog(ProgramDirectory()));
    EXPECT_EQ(run.WaitForExit(10000), 0);
    EXPECT_EQ(run.Calls(), EmptyStoreCalls(ProgramDirectory()));
}

} // namespace
} // namespace brevanto::e2e
