#include "tests/e2e/program_test.h"

#include <algorithm>
#include <iostream>

#include "app/window_layout.h"

namespace brevanto::e2e {
namespace {

using support::LinesOfKind;

constexpr int kAttempts = 3;

// Test pressed before the job has created the user component shows the program's own message
// box, and the start timer then fires under that box: the whole job runs nested in the box's
// loop, inside whatever the program set up for its own box. The components must still get the
// process's world: classic controls and a DPI-unaware thread, and so must the threads they start.
TEST_F(ProgramTest, JobNestedInTheTestErrorBoxGivesTheComponentsTheirClassicWorld) {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        ProgramRun run("observe:User.LoginUser;observe:Viewer.Show_Results;"
                       "thread:User.LoginUser;thread:Viewer.Show_Results");
        // The start timer fires 50 ms after the window is made: the click must be served first.
        ASSERT_TRUE(run.Window());
        run.Click(kCmdTestId);
        const MessageBoxSeen box = WaitForMessageBox(run, 3000);
        ASSERT_TRUE(box.box) << "no message box for Test";
        EXPECT_EQ(box.text,
                  L"Test needs the user component, which the report job has not created.");
        ASSERT_TRUE(run.WaitForLogLines(13, 10000)) << Utf8(run.LastLog());

        // Timing, not the program, decides whether the click came before the job: on a busy
        // machine the driver may find the window late. Then the job ran first and its box came
        // after, which says nothing of a job nested in it; run again.
        const auto journal = run.Journal();
        ASSERT_FALSE(journal.empty());
        if (box.seenUs >= journal.front().enterUs) {
            std::cout << "attempt " << attempt << ": the box was found "
                      << Ms(box.seenUs - journal.front().enterUs)
                      << " ms after the job's first component call; running again\n";
            continue;
        }

        EXPECT_EQ(LogLines(run.Log()), EmptyStoreLog(ProgramDirectory()));
        const std::pair<const char*, const char*> calls[] = {{"User", "LoginUser"},
                                                             {"Viewer", "Show_Results"}};
        for (const auto& [object, member] : calls) {
            SCOPED_TRACE(std::string(object) + "." + member);
            const auto seen = SeenLines(journal, object, member);
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_EQ(SeenValue(seen[0], "button"), "classic");
            EXPECT_EQ(SeenValue(seen[0], "thread_dpi"), "unaware");
            const auto threads = LinesOfKind(journal, "thread");
            const auto line =
                std::find_if(threads.begin(), threads.end(), [&](const JournalCall& t) {
                    return t.object == object && t.member == member;
                });
            ASSERT_NE(line, threads.end()) << "the stand-in started no thread";
            EXPECT_EQ(SeenValue(*line, "thread_dpi"), "unaware");
            EXPECT_EQ(SeenValue(*line, "window_dpi"), "unaware");
        }

        // Nobody answers the box; the exit timer, re-armed when Show_Results returned, fires
        // under it and ends the completed run.
        EXPECT_EQ(run.WaitForExit(15000), 0);
        const JournalCall* show = FindCall(journal, "Viewer.call Show_Results");
        ASSERT_TRUE(show);
        ExpectEndedAboutFiveSecondsAfter(run.ExitUs(), show->exitUs, ExitArmedAfter::CallReturned);
        return;
    }
    FAIL() << "in " << kAttempts << " runs Test was never served before the job started; the "
           << "driver found the window too late each time";
}

} // namespace
} // namespace brevanto::e2e
