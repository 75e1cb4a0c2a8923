#include "tests/e2e/program_test.h"

#include "app/window_layout.h"

namespace brevanto::e2e {
namespace {

const std::vector<std::string> kTestCalls = TestButtonCalls();

std::size_t CountCall(const std::vector<std::string>& calls, const std::string& call) {
    return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), call));
}

bool WaitForCalls(ProgramRun& run, const std::string& call, std::size_t count, DWORD timeoutMs) {
    const std::int64_t deadline = NowUs() + static_cast<std::int64_t>(timeoutMs) * 1000;
    while (NowUs() < deadline) {
        if (CountCall(run.Calls(), call) >= count)
            return true;
        Sleep(5);
    }
    return false;
}

struct MessageBoxSeen {
    HWND box = nullptr;
    std::wstring title;
    std::wstring text;
};

struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t cls[16] = {};
    GetClassNameW(window, cls, 16);
    if (owner == search->processId && std::wstring(cls) == L"#32770" && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Waits for a message box of the process and reads its title and text.
MessageBoxSeen WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    BoxSearch search{processId, nullptr};
    const std::int64_t deadline = NowUs() + static_cast<std::int64_t>(timeoutMs) * 1000;
    while (!search.found && NowUs() < deadline) {
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
        Sleep(5);
    }
    MessageBoxSeen seen;
    seen.box = search.found;
    if (seen.box) {
        wchar_t text[512] = {};
        SendMessageW(seen.box, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        seen.title = text;
        text[0] = 0;
        SendMessageW(GetDlgItem(seen.box, 0xFFFF), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        seen.text = text;
    }
    return seen;
}

TEST_F(ProgramTest, TestAfterTheJobRepeatsTheWholeSequenceOnEachPress) {
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    const std::wstring log = run.Log();
    const std::size_t before = run.Calls().size();

    run.Click(kCmdTestId);
    ASSERT_TRUE(WaitForCalls(run, kTestCalls.back(), 1, 3000));
    run.Click(kCmdTestId);
    ASSERT_TRUE(WaitForCalls(run, kTestCalls.back(), 2, 3000));

    const auto calls = run.Calls();
    std::vector<std::string> expected = kTestCalls;
    expected.insert(expected.end(), kTestCalls.begin(), kTestCalls.end());
    EXPECT_EQ(std::vector<std::string>(calls.begin() + before, calls.end()), expected);
    EXPECT_EQ(run.Log(), log);
    EXPECT_EQ(run.Caption(), kMainWindowCaption);
    run.Click(kCmdCancelId);
    EXPECT_EQ(run.WaitForExit(3000), 0);
}

TEST_F(ProgramTest, TestServedInsideTheJobLeavesTheJobAlone) {
    ProgramRun run("click:Viewer.Show_Results=Test;pump:Viewer.Show_Results=400");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(LogLines(run.Log()), EmptyStoreLog(BinaryDirectory()));
    EXPECT_EQ(run.Caption(), kMainWindowCaption);
    run.Click(kCmdCancelId);
    EXPECT_EQ(run.WaitForExit(3000), 0);

    // The Test calls ran inside Show_Results, in order.
    const auto journal = run.Journal();
    const auto show = std::find_if(journal.begin(), journal.end(), [](const JournalCall& c) {
        return c.Text() == "Viewer.call Show_Results";
    });
    ASSERT_NE(show, journal.end());
    std::vector<std::string> nested;
    for (const auto& call : journal)
        if (call.enterUs > show->enterUs && call.exitUs < show->exitUs && call.kind != "create")
            nested.push_back(call.Text());
    EXPECT_EQ(nested, kTestCalls);
}

TEST_F(ProgramTest, TestWithoutUserComponentShowsAMessageAndTheRunEndsOnItsTimer) {
    ClassesKeyRemoved removed(kUserProgId);
    ProgramRun run;
    ASSERT_TRUE(
        run.WaitForLog([](const std::wstring& log) { return log.rfind(L"Brev", 0) == 0; }, 10000));
    const std::wstring caption = run.Caption();
    const std::int64_t failedUs = NowUs();
    run.Click(kCmdTestId);
    const auto box = WaitForMessageBox(run.ProcessId(), 3000);
    ASSERT_TRUE(box.box);
    EXPECT_EQ(box.title, caption);
    EXPECT_EQ(box.text, L"Test needs the user component, which the report job has not created.");
    // Nobody answers the message; the exit timer still ends the program with the job's status.
    EXPECT_EQ(run.WaitForExit(10000), 1);
    EXPECT_LE(Ms(run.ExitUs() - failedUs), 5600.0);
}

TEST_F(ProgramTest, TestWhoseReportFailsShowsTheComponentsDescription) {
    ProgramRun run("fail:Classes.OpenMainReport=Report file testreport.rpt not found");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    run.Click(kCmdTestId);
    const auto box = WaitForMessageBox(run.ProcessId(), 3000);
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
    EXPECT_EQ(LogLines(run.Log()), EmptyStoreLog(BinaryDirectory()));
    const auto box = WaitForMessageBox(run.ProcessId(), 3000);
    ASSERT_TRUE(box.box);
    EXPECT_EQ(box.text, L"Printer offline");
    EXPECT_EQ(run.WaitForExit(10000), 0);
}

} // namespace
} // namespace brevanto::e2e
