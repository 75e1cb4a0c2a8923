#include "tests/e2e/program_test.h"

#include <string>

#include "app/window_layout.h"

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

TEST_F(ProgramTest, TextTypedIntoTheLogBoxStaysWithTheNewLinesAfterIt) {
    // The viewer's setexportpath serves the window's events for a while, just after the box
    // has been given line 6: the key mostly reaches a box whose pixels still show 4 lines, or
    // else one the paint timer has brought up to date; the text must come out the same.
    ProgramRun run("pump:Viewer.setexportpath=500");
    ASSERT_TRUE(run.WaitForLogLines(6, 10000));
    PostMessageW(run.Control(kText1Id), WM_CHAR, L'x', 1);
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    // The box's caret stands at its start after each new text, as the key found it.
    std::wstring expectedLog = L"x";
    for (const std::wstring& line : EmptyStoreLog(ProgramDirectory()))
        expectedLog += line + L"\r\n";
    EXPECT_EQ(run.Log(), expectedLog);
    EXPECT_EQ(run.EndWithCancel(5000), 0);
}

TEST_F(ProgramTest, ALogTallerThanTheBoxShowsItsTopWithTheCaretAtTheStart) {
    // A request number that wraps over a dozen lines of the box: with the job's other lines, more
    // than the box shows.
    std::wstring requestnum;
    for (int word = 0; word < 120; ++word)
        requestnum += L"R" + std::to_wstring(10000 + word) + L" ";
    requestnum.pop_back();
    StoreSetting(L"ExeParameters", L"Requestnum", requestnum);
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    ASSERT_NE(run.Log().find(L"Requestnum " + requestnum + L"\r\n"), std::wstring::npos);
    const HWND box = run.Control(kText1Id);
    ASSERT_GE(SendMessageW(box, EM_GETLINECOUNT, 0, 0), 20); // more than it shows
    EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_EQ(SendMessageW(box, EM_GETSEL, 0, 0), 0); // start and end of the selection
    EXPECT_EQ(SendMessageW(box, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(run.EndWithCancel(5000), 0);
}

} // namespace
} // namespace brevanto::e2e
