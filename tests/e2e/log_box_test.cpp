#include "tests/e2e/program_test.h"

#include <string>

namespace brevanto::e2e {
namespace {

// The stand-ins look at the log box as these calls arrive: the login and Show_Results may take
// long, so the box must be painted by then; setexportpath is a put, which may come before the
// paint.
constexpr char kLogLineCalls[] =
    "loglines:User.LoginUser;loglines:Viewer.setexportpath;loglines:Viewer.Show_Results";

TEST_F(ProgramTest, LogBoxHoldsEveryEarlierLineWhenACallArrivesAndIsPaintedBeforeLongOnes) {
    ProgramRun run(kLogLineCalls);
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    std::wstring expectedLog;
    for (const std::wstring& line : EmptyStoreLog(ProgramDirectory()))
        expectedLog += line + L"\r\n";
    EXPECT_EQ(run.Log(), expectedLog);
    EXPECT_EQ(run.EndWithCancel(5000), 0);

    struct Case {
        const char* object;
        const char* member;
        const char* lines;
        bool painted; // checked only where the call may take long
    };
    const Case cases[] = {
        {"User", "LoginUser", "3", true},
        {"Viewer", "setexportpath", "6", false},
        {"Viewer", "Show_Results", "12", true},
    };
    const auto journal = run.Journal();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.object) + "." + c.member);
        const auto seen = SeenLines(journal, c.object, c.member);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(SeenValue(seen[0], "log_lines"), c.lines);
        if (c.painted) {
            EXPECT_EQ(SeenValue(seen[0], "log_shown_lines"), c.lines);
            EXPECT_EQ(SeenValue(seen[0], "log_redraw"), "on");
            EXPECT_EQ(SeenValue(seen[0], "log_update"), "none");
        }
    }
}

} // namespace
} // namespace brevanto::e2e
