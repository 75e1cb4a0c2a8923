#include "tests/e2e/program_test.h"

#include <algorithm>

#include "app/window_layout.h"
#include "tests/support/system_message.h"

namespace brevanto::e2e {

namespace {

TEST_F(ProgramTest, EmptyStoreRunsTheWholeJobAndEndsFiveSecondsLater) {
    ProgramRun run;
    ASSERT_TRUE(run.Window());
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(LogLines(run.Log()), EmptyStoreLog(ProgramDirectory()));
    EXPECT_EQ(run.Log().substr(run.Log().size() - 2), L"\r\n");
    EXPECT_EQ(run.Caption(), kMainWindowCaption);

    EXPECT_EQ(run.WaitForExit(15000), 0);
    const auto journal = run.Journal();
    EXPECT_EQ(CallTexts(journal), EmptyStoreCalls(ProgramDirectory()));

    // The start timer fires once, about 50 ms after the window was created.
    const auto creates = std::count_if(journal.begin(), journal.end(), [](const JournalCall& c) {
        return c.Text() == "User.create";
    });
    EXPECT_EQ(creates, 1);
    const double startMs = Ms(journal.front().enterUs - run.ShownUs());
    EXPECT_GE(startMs, 10.0);
    EXPECT_LE(startMs, 300.0);

    // The exit timer is armed when Show_Results returns and ends the program 5000 ms later.
    const JournalCall* show = FindCall(journal, "Viewer.call Show_Results");
    ASSERT_TRUE(show);
    ExpectEndedAboutFiveSecondsAfter(run.ExitUs(), show->exitUs, ExitArmedAfter::CallReturned);

    // Every object is released when the program ends, the job's own viewer reference included.
    for (const char* object : {"User.destroy", "Viewer.destroy", "Classes.destroy"})
        EXPECT_TRUE(FindCall(journal, object)) << object;
}

TEST_F(ProgramTest, ViewOnlyModeSkipsTheReportClasses) {
    StoreSetting(L"Settings", L"ViewMode", L"0");
    StoreSetting(L"Settings", L"PDFPrintMode", L"not read");
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(12, 10000));
    const auto lines = LogLines(run.Log());
    const std::vector<std::wstring> part7(lines.begin() + 7, lines.begin() + 10);
    EXPECT_EQ(part7, (std::vector<std::wstring>{L" 7 ViewMode", L" 7 ViewMode 0  - View only",
                                                L" 7 ViewMode 0 done"}));
    EXPECT_EQ(run.EndWithCancel(5000), 0);
    const auto calls = run.Calls();
    const std::vector<std::string> tail(calls.end() - 4, calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "Viewer.put viewmode BSTR:\"0\"", "Viewer.put loadviewer BOOL:-1",
                        "Viewer.put Export BOOL:0", "Viewer.call Show_Results"}));
}

TEST_F(ProgramTest, StoredTextReachesTheComponentsUnchanged) {
    const std::wstring user = L" Zo\u00eb \u7530\u4e2d ";
    const std::wstring password = L"p\u00e4ss\xD83D\xDE00;\"\\";
    const std::wstring request = L"R\u00e9q-\xD834\xDD1E-7";
    StoreSetting(L"LogInData", L"Username", user);
    StoreSetting(L"LogInData", L"Password", password);
    StoreSetting(L"ExeParameters", L"Requestnum", request);
    StoreSetting(L"SaveDirectories", L"Convert", L"\\\\server\\share\\Lab PDF");
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    const auto lines = LogLines(run.Log());
    EXPECT_EQ(lines[5], L" 6 setexportpath \\\\server\\share\\Lab PDF");
    EXPECT_EQ(lines[6], L" 6 Requestnum " + request);
    EXPECT_EQ(run.Log().find(password), std::wstring::npos);
    EXPECT_EQ(run.EndWithCancel(5000), 0);
    const auto calls = run.Calls();
    EXPECT_EQ(calls[2], "User.call LoginUser " + Bstr(user) + " " + Bstr(password));
    EXPECT_EQ(calls[4], "Viewer.put setexportpath " + Bstr(L"\\\\server\\share\\Lab PDF"));
    EXPECT_EQ(calls[6], "Viewer.put Requestnum " + Bstr(request));
}

struct FailureCase {
    const char* name;
    std::string scenario;
    std::wstring caption;
    std::string lastCall; // the failing call; nothing after it
};

TEST_F(ProgramTest, ComponentErrorsShowTheirDescriptionAndPart) {
    const std::vector<FailureCase> cases = {
        {"description", "fail:Viewer.Show_Results=Report engine stopped",
         L"Brevanto.exe Generate Report engine stopped Part:8", "Viewer.call Show_Results"},
        {"empty description", "fail:Viewer.Show_Results=", L"Brevanto.exe Generate  Part:8",
         "Viewer.call Show_Results"},
        {"deferred description", "faildeferred:User.LoginUser=Wrong password",
         L"Brevanto.exe Generate Wrong password Part:3", "User.call LoginUser BSTR:\"\" BSTR:\"\""},
        {"not an object", "nonobject:Viewer.zeltarUser",
         L"Brevanto.exe Generate Member \"zeltarUser\" of velmonic.labresultviewer did not give "
         L"an object Part:7",
         "Viewer.get zeltarUser"},
        {"non-ASCII description", "fail:Classes.PDFPrintMode=Druckmodus \\u00fcberpr\\u00fcfen",
         L"Brevanto.exe Generate Druckmodus \u00fcberpr\u00fcfen Part:7",
         "Classes.put PDFPrintMode BSTR:\"1\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramRun run(c.scenario);
        ASSERT_TRUE(run.WaitForFailure(10000));
        EXPECT_EQ(run.Caption(), c.caption);
        EXPECT_EQ(run.Log(), c.caption);
        EXPECT_EQ(run.EndWithCancel(5000), 1);
        const auto calls = run.Calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back(), c.lastCall);
    }
}

// The text between member and code is the system's own message, which differs between systems.
TEST_F(ProgramTest, PlainHresultNamesTheMemberAndTheCode) {
    ProgramRun run("failhr:Viewer.SetDLLVer=0x80004005");
    ASSERT_TRUE(run.WaitForFailure(10000));
    const std::wstring caption = run.Caption();
    EXPECT_TRUE(support::EmbedsSystemMessage(
        caption, L"Brevanto.exe Generate Member \"SetDLLVer\" of velmonic.labresultviewer: ",
        L" (0x80004005) Part:6"))
        << Utf8(caption);
    EXPECT_EQ(run.EndWithCancel(5000), 1);
    EXPECT_EQ(run.Calls().back(), "Viewer.put SetDLLVer BSTR:\"1\"");
}

// A run whose job fails because a class cannot be created, from the failure on.
struct ClassFailure {
    std::int64_t seenUs = 0; // when the failure caption was shown; 0: never
    std::wstring caption;    // the window's caption then
    int status = -1;
    std::int64_t exitUs = 0;
    std::vector<JournalCall> journal;
};

// Runs the program with a key of the stand-ins' registration removed until it ends by itself.
// The failure caption embeds the system's message: the part before it and the part after it.
ClassFailure RunWithoutClass(const wchar_t* key, const std::wstring& beforeMessage,
                             const std::wstring& afterMessage) {
    const ClassesKeyRemoved removed(key);
    ProgramRun run;
    ClassFailure result;
    if (!run.WaitForLog(
            [&](const std::wstring& log) {
                return support::EmbedsSystemMessage(log, beforeMessage, afterMessage);
            },
            10000))
        return result;
    result.seenUs = NowUs();
    result.caption = run.Caption();
    result.status = run.WaitForExit(10000);
    result.exitUs = run.ExitUs();
    result.journal = run.Journal();
    return result;
}

TEST_F(ProgramTest, MissingUserClassFailsInPartOneAndEndsFiveSecondsLater) {
    const std::wstring head =
        L"Brevanto.exe Generate Cannot create object \"ZELTAR_User.clsCurrentUser\": ";
    const std::wstring tail = L" (0x800401F3) Part:1";
    const ClassFailure run = RunWithoutClass(kUserProgId, head, tail);
    ASSERT_NE(run.seenUs, 0);
    EXPECT_TRUE(support::EmbedsSystemMessage(run.caption, head, tail)) << Utf8(run.caption);
    EXPECT_EQ(run.status, 1);
    ExpectEndedAboutFiveSecondsAfter(run.exitUs, run.seenUs, ExitArmedAfter::DriverSawIt);
    EXPECT_TRUE(run.journal.empty());
}

TEST_F(ProgramTest, UnregisteredViewerFailsInPartFourAndUserIsKeptToTheEnd) {
    const ClassFailure run = RunWithoutClass(
        kViewerClsidKey,
        L"Brevanto.exe Generate Cannot create object \"velmonic.labresultviewer\": ",
        L" (0x80040154) Part:4");
    ASSERT_NE(run.seenUs, 0);
    EXPECT_EQ(run.status, 1);
    const JournalCall* destroyed = FindCall(run.journal, "User.destroy");
    ASSERT_TRUE(destroyed);
    EXPECT_GE(Ms(destroyed->enterUs - run.seenUs), EarliestExitMs(ExitArmedAfter::DriverSawIt));
    EXPECT_FALSE(FindCall(run.journal, "Viewer.create"));
}

TEST_F(ProgramTest, NonNumericViewModeFailsInPartSeven) {
    StoreSetting(L"Settings", L"ViewMode", L"");
    ProgramRun run;
    ASSERT_TRUE(run.WaitForFailure(10000));
    EXPECT_EQ(run.Caption(),
              L"Brevanto.exe Generate Settings\\ViewMode is not a number: \"\" Part:7");
    EXPECT_EQ(run.EndWithCancel(5000), 1);
    EXPECT_EQ(run.Calls().back(), "Viewer.put viewmode BSTR:\"\"");
}

} // namespace
} // namespace brevanto::e2e
