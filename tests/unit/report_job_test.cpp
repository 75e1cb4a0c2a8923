#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "report/report_job.h"
#include "tests/unit/fakes.h"

namespace brevanto::testing {
namespace {

const std::wstring kDir = L"C:\\Lab\\Brevanto";

std::vector<std::wstring> Lines(const std::wstring& log) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = log.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(log.substr(start, end - start));
    EXPECT_EQ(start, log.size()) << "log does not end with CR LF";
    return lines;
}

struct JobRun {
    MemoryStore store;
    CallJournal journal;
    FakeWindow window;

    void Run() {
        FakeFactory factory(journal);
        GenerateReport(window, store, factory, kDir);
    }

    const FakeObject& Viewer() const {
        return dynamic_cast<const FakeObject&>(*window.state.LabResultViewer);
    }
};

TEST(ReportJob, EmptyStoreWritesThirteenLinesAndMakesEveryCallInOrder) {
    JobRun run;
    run.Run();

    const std::vector<std::wstring> expectedLog = {
        L" 1 clsCurrentUser",
        L" 2 User",
        L" 3 LoginUser",
        L" 4 LabResultViewer",
        L" 5 LabResultViewer.zeltarUser = User",
        L" 6 setexportpath C:\\Lab\\Brevanto\\PDF",
        L" 6 Requestnum ",
        L" 7 ViewMode",
        L" 7 ViewMode1a",
        L" 7 Loadviewer yes",
        L" 7 ViewMode1b",
        L" 8 Show_Results ",
        L" 8 Show_Results Done",
    };
    EXPECT_EQ(Lines(run.window.log), expectedLog);

    const std::vector<std::wstring> expectedCalls = {
        L"create ZELTAR_User.clsCurrentUser",
        L"User.put SetExePath \"C:\\Lab\\Brevanto\"",
        L"User.put PasswordDeptCode \"\"",
        L"User.call LoginUser \"\" \"\"",
        L"create velmonic.labresultviewer",
        L"Viewer.put zeltarUser object:User",
        L"Viewer.put setexportpath \"C:\\Lab\\Brevanto\\PDF\"",
        L"Viewer.put SetDLLVer \"1\"",
        L"Viewer.put Requestnum \"\"",
        L"Viewer.put AutoPrint true",
        L"Viewer.put viewmode \"1\"",
        L"Viewer.get zeltarUser",
        L"User.get ZELTARClasses",
        L"Classes.put PDFPrintMode \"1\"",
        L"Viewer.put loadviewer true",
        L"Viewer.put Export true",
        L"Viewer.call Show_Results",
    };
    EXPECT_EQ(run.journal.calls, expectedCalls);

    EXPECT_EQ(run.window.caption, L"Lab Report Generator EXE");
    EXPECT_EQ(run.window.eventRuns, 13);
    EXPECT_EQ(run.window.exitTimerArmed, 1);
    EXPECT_EQ(run.window.state.CurrentPart, 8);
    EXPECT_EQ(run.window.state.Outcome, JobOutcome::Completed);
}

TEST(ReportJob, WorkingViewerReferenceIsReleasedWhenTheJobReturns) {
    JobRun run;
    run.Run();
    ASSERT_TRUE(run.window.state.User);
    EXPECT_EQ(run.window.state.LabResultViewer.use_count(), 1);
    // The viewer holds the user (its zeltarUser), the window holds both.
    EXPECT_EQ(run.window.state.User.use_count(), 2);
    run.window.state = {};
    EXPECT_EQ(run.journal.liveObjects, 0);
}

TEST(ReportJob, PasswordIsWipedInPlaceOnceLoginUserReturns) {
    // Longer than any text kept inside the string object, so it lives in a heap buffer. (When
    // LoginUser fails the buffer is freed on the way to the failure path, wiped by the same
    // scope guard, which the wiped-text tests cover on every path.)
    const std::wstring password = L"a lab password longer than a small string buffer";
    JobRun run;
    run.store.Set(L"LogInData", L"Password", password);
    const std::wstring* kept = nullptr;
    const wchar_t* buffer = nullptr;
    std::size_t capacity = 0;
    run.journal.arguments[L"User.LoginUser"] = [&](const std::vector<AutomationValue>& args) {
        ASSERT_EQ(args.size(), 2u);
        kept = &std::get<std::wstring>(args[1]);
        EXPECT_EQ(*kept, password);
        buffer = kept->data();
        capacity = kept->capacity();
    };
    bool checked = false;
    // The job's next component call: the argument it handed LoginUser is still alive, and must
    // hold nothing of the password by then.
    run.journal.onCall = [&](const std::wstring& call) {
        if (checked || !kept || call.rfind(L"User.call LoginUser", 0) == 0)
            return;
        checked = true;
        EXPECT_EQ(call, L"create velmonic.labresultviewer");
        EXPECT_TRUE(kept->empty());
        EXPECT_EQ(kept->data(), buffer) << "the buffer was replaced, not wiped";
        std::size_t nonZero = 0;
        for (std::size_t i = 0; i < capacity; ++i)
            nonZero += buffer[i] != L'\0';
        EXPECT_EQ(nonZero, 0u);
    };
    run.Run();
    EXPECT_TRUE(checked);
}

TEST(ReportJob, LogIsPaintedBeforeEveryCallThatMayTakeLongAndBeforeTheJobReturns) {
    struct Case {
        const char* name;
        const wchar_t* failingMember; // none: the job completes
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {"completed",
         nullptr,
         {L"paint log of 1 lines", L"create ZELTAR_User.clsCurrentUser", L"paint log of 3 lines",
          L"User.call LoginUser \"\" \"\"", L"paint log of 4 lines",
          L"create velmonic.labresultviewer", L"paint log of 12 lines", L"Viewer.call Show_Results",
          L"paint log of 13 lines"}},
        {"failed at the login",
         L"User.LoginUser",
         {L"paint log of 1 lines", L"create ZELTAR_User.clsCurrentUser", L"paint log of 3 lines",
          L"User.call LoginUser \"\" \"\"",
          // The failure caption alone, which has no line end.
          L"paint log of 0 lines"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JobRun run;
        run.window.paintJournal = &run.journal;
        if (c.failingMember)
            run.journal.failures[c.failingMember] = L"Wrong password";
        run.Run();
        // Puts and gets are left out: the box may lag behind them.
        std::vector<std::wstring> paintsAndLongCalls;
        for (const std::wstring& call : run.journal.calls) {
            if (call.find(L".put ") == std::wstring::npos &&
                call.find(L".get ") == std::wstring::npos)
                paintsAndLongCalls.push_back(call);
        }
        EXPECT_EQ(paintsAndLongCalls, c.expected);
    }
}

TEST(ReportJob, StoredValuesReachTheComponentsExactlyAsRead) {
    JobRun run;
    // Accents, CJK and a surrogate pair; blanks around values stay.
    const std::wstring user = L" Zo\u00eb \u7530\u4e2d ";
    const std::wstring password = L"p\u00e4ss\U0001F600;\"\\";
    run.store.Set(L"LogInData", L"Username", user);
    run.store.Set(L"LogInData", L"Password", password);
    run.store.Set(L"SaveDirectories", L"Convert", L"D:\\Export\\ ");
    run.store.Set(L"Settings", L"txtReportDLLVersion", L"2.5");
    run.store.Set(L"ExeParameters", L"Requestnum", L"R-0042");
    run.store.Set(L"Settings", L"ViewMode", L" 1 ");
    run.store.Set(L"Settings", L"PDFPrintMode", L"3");
    run.Run();

    const auto& calls = run.journal.calls;
    EXPECT_EQ(calls[3], L"User.call LoginUser \"" + user + L"\" \"" + password + L"\"");
    EXPECT_EQ(calls[6], L"Viewer.put setexportpath \"D:\\Export\\ \"");
    EXPECT_EQ(calls[7], L"Viewer.put SetDLLVer \"2.5\"");
    EXPECT_EQ(calls[8], L"Viewer.put Requestnum \"R-0042\"");
    EXPECT_EQ(calls[10], L"Viewer.put viewmode \" 1 \"");
    EXPECT_EQ(calls[13], L"Classes.put PDFPrintMode \"3\"");
    const auto lines = Lines(run.window.log);
    EXPECT_EQ(lines[5], L" 6 setexportpath D:\\Export\\ ");
    EXPECT_EQ(lines[6], L" 6 Requestnum R-0042");
    EXPECT_EQ(run.window.log.find(password), std::wstring::npos) << "password shown in the log";
}

TEST(ReportJob, DefaultExportFolderAppendsPdfToTheDirectoryAsItIs) {
    JobRun run;
    FakeFactory factory(run.journal);
    GenerateReport(run.window, run.store, factory, L"C:\\");
    EXPECT_EQ(Lines(run.window.log)[5], L" 6 setexportpath C:\\\\PDF");
}

struct ViewModeCase {
    const char* name;
    std::vector<std::pair<std::wstring, std::wstring>> settings;
    std::vector<std::wstring> part7Lines;
    bool loadviewer;
    bool exportSwitch;
    bool readsClasses;
};

TEST(ReportJob, ViewModeAndSwitchesDecideTheBranch) {
    const std::vector<ViewModeCase> cases = {
        {"view only",
         {{L"ViewMode", L"0"}},
         {L" 7 ViewMode", L" 7 ViewMode 0  - View only", L" 7 ViewMode 0 done"},
         true,
         false,
         false},
        {"zero in another form",
         {{L"ViewMode", L" -0.0e5 "}},
         {L" 7 ViewMode", L" 7 ViewMode 0  - View only", L" 7 ViewMode 0 done"},
         true,
         false,
         false},
        {"view mode 2",
         {{L"ViewMode", L"2"}},
         {L" 7 ViewMode", L" 7 ViewMode1a", L" 7 Loadviewer yes", L" 7 ViewMode1b"},
         true,
         true,
         true},
        {"print off",
         {{L"chkPrintRPT", L"0"}},
         {L" 7 ViewMode", L" 7 ViewMode1a", L" 7 loadviewer no", L" 7 ViewMode1b"},
         false,
         true,
         true},
        {"print 2",
         {{L"chkPrintRPT", L"2"}},
         {L" 7 ViewMode", L" 7 ViewMode1a", L" 7 loadviewer no", L" 7 ViewMode1b"},
         false,
         true,
         true},
        {"print 1.0",
         {{L"chkPrintRPT", L"1.0"}},
         {L" 7 ViewMode", L" 7 ViewMode1a", L" 7 Loadviewer yes", L" 7 ViewMode1b"},
         true,
         true,
         true},
        {"export off",
         {{L"chkCRW85Export", L"0"}},
         {L" 7 ViewMode", L" 7 ViewMode1a", L" 7 Loadviewer yes", L" 7 ViewMode1b"},
         true,
         false,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JobRun run;
        for (const auto& [key, value] : c.settings)
            run.store.Set(L"Settings", key, value);
        run.Run();

        auto lines = Lines(run.window.log);
        ASSERT_EQ(lines.size(), 9 + c.part7Lines.size());
        EXPECT_EQ(std::vector<std::wstring>(lines.begin() + 7, lines.end() - 2), c.part7Lines);
        EXPECT_EQ(std::get<bool>(*run.Viewer().Property(L"loadviewer")), c.loadviewer);
        EXPECT_EQ(std::get<bool>(*run.Viewer().Property(L"Export")), c.exportSwitch);
        const int classesReads = run.store.Reads(L"Settings", L"PDFPrintMode") +
                                 run.store.Reads(L"Settings", L"chkPrintRPT") +
                                 run.store.Reads(L"Settings", L"chkCRW85Export");
        EXPECT_EQ(classesReads, c.readsClasses ? 3 : 0);
        const bool gotClasses = std::count(run.journal.calls.begin(), run.journal.calls.end(),
                                           L"User.get ZELTARClasses") == 1;
        EXPECT_EQ(gotClasses, c.readsClasses);
        EXPECT_EQ(run.window.state.Outcome, JobOutcome::Completed);
    }
}

TEST(ReportJob, EverySettingIsReadAtEachUse) {
    JobRun run;
    run.Run();
    const std::vector<std::tuple<std::wstring, std::wstring, int>> expected = {
        {L"LogInData", L"Username", 1},       {L"LogInData", L"Password", 1},
        {L"SaveDirectories", L"Convert", 2},  {L"Settings", L"txtReportDLLVersion", 1},
        {L"ExeParameters", L"Requestnum", 2}, {L"Settings", L"ViewMode", 2},
        {L"Settings", L"PDFPrintMode", 1},    {L"Settings", L"chkPrintRPT", 1},
        {L"Settings", L"chkCRW85Export", 1},
    };
    for (const auto& [section, key, reads] : expected)
        EXPECT_EQ(run.store.Reads(section, key), reads) << std::string(key.begin(), key.end());
}

TEST(ReportJob, ValueChangedBetweenTwoReadsIsSeenChanged) {
    JobRun run;
    run.store.Set(L"ExeParameters", L"Requestnum", L"first");
    run.store.Set(L"SaveDirectories", L"Convert", L"D:\\one");
    run.store.onRead = [&](std::wstring_view, std::wstring_view key) {
        if (key == L"Requestnum")
            run.store.Set(L"ExeParameters", L"Requestnum", L"second");
        if (key == L"Convert")
            run.store.Set(L"SaveDirectories", L"Convert", L"D:\\two");
    };
    run.Run();
    const auto lines = Lines(run.window.log);
    EXPECT_EQ(lines[5], L" 6 setexportpath D:\\one");
    EXPECT_EQ(lines[6], L" 6 Requestnum first");
    EXPECT_EQ(run.journal.calls[6], L"Viewer.put setexportpath \"D:\\two\"");
    EXPECT_EQ(run.journal.calls[8], L"Viewer.put Requestnum \"second\"");
}

// The run's record names the request number the log shows, and none the job did not log.
TEST(ReportJob, HandsTheWindowTheRequestNumberItLogs) {
    struct Case {
        const char* name;
        std::wstring stored;        // empty: none stored
        std::wstring changedTo;     // a value the store holds from the first read on
        std::wstring failingMember; // a call that fails, or a class that cannot be created
        std::vector<std::wstring> noted;
    };
    const Case cases[] = {
        {"stored", L"2026-120834", L"", L"", {L"2026-120834"}},
        {"none stored", L"", L"", L"", {L""}},
        {"read again for the viewer", L"first", L"second", L"", {L"first"}},
        {"the job stops before line 6", L"2026-120834", L"", L"Viewer", {}},
        {"the job stops right after it",
         L"2026-120834",
         L"",
         L"Viewer.Requestnum",
         {L"2026-120834"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JobRun run;
        if (!c.stored.empty())
            run.store.Set(L"ExeParameters", L"Requestnum", c.stored);
        if (!c.changedTo.empty()) {
            run.store.onRead = [&](std::wstring_view, std::wstring_view key) {
                if (key == L"Requestnum")
                    run.store.Set(L"ExeParameters", L"Requestnum", c.changedTo);
            };
        }
        if (c.failingMember == L"Viewer")
            run.journal.unavailableClasses.insert(L"Viewer");
        else if (!c.failingMember.empty())
            run.journal.failures[c.failingMember] = L"refused";
        run.Run();
        EXPECT_EQ(run.window.notedRequestNumbers, c.noted);
    }
}

struct FailureCase {
    std::wstring member; // "Object.Member" that raises, or a class that cannot be created
    std::int16_t part;
    std::size_t callsMade; // journal entries up to and including the failing one
};

TEST(ReportJob, ErrorInAnyPartTakesTheFailurePath) {
    const std::vector<FailureCase> cases = {
        {L"User", 1, 1},
        {L"User.SetExePath", 1, 2},
        {L"User.PasswordDeptCode", 2, 3},
        {L"User.LoginUser", 3, 4},
        {L"Viewer", 4, 5},
        {L"Viewer.zeltarUser", 5, 6},
        {L"Viewer.setexportpath", 6, 7},
        {L"Viewer.SetDLLVer", 6, 8},
        {L"Viewer.Requestnum", 6, 9},
        {L"Viewer.AutoPrint", 6, 10},
        {L"Viewer.viewmode", 7, 11},
        {L"User.ZELTARClasses", 7, 13},
        {L"Classes.PDFPrintMode", 7, 14},
        {L"Viewer.loadviewer", 7, 15},
        {L"Viewer.Export", 7, 16},
        {L"Viewer.Show_Results", 8, 17},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.member.begin(), c.member.end()));
        JobRun run;
        if (c.member.find(L'.') == std::wstring::npos)
            run.journal.unavailableClasses.insert(c.member);
        else
            run.journal.failures[c.member] = L"Failed: " + c.member;
        run.Run();

        const std::wstring description =
            c.member.find(L'.') == std::wstring::npos
                ? L"Cannot create object \"" +
                      std::wstring(c.member == L"User" ? kUserClass : kViewerClass) + L"\""
                : L"Failed: " + c.member;
        const std::wstring caption =
            L"Brevanto.exe Generate " + description + L" Part:" + std::to_wstring(c.part);
        EXPECT_EQ(run.window.caption, caption);
        EXPECT_EQ(run.window.log, caption);
        EXPECT_EQ(run.journal.calls.size(), c.callsMade);
        EXPECT_EQ(run.window.exitTimerArmed, 1);
        EXPECT_EQ(run.window.state.Outcome, JobOutcome::Failed);
        EXPECT_EQ(run.window.state.CurrentPart, c.part);
        EXPECT_EQ(static_cast<bool>(run.window.state.User), c.part > 1 || c.callsMade == 2);
        EXPECT_EQ(static_cast<bool>(run.window.state.LabResultViewer), c.part > 4);
    }
}

TEST(ReportJob, AnyExceptionInAPartTakesTheFailurePath) {
    struct Case {
        const char* name;
        std::wstring member; // "Object.Member" during which it is thrown
        std::function<void()> raise;
        std::wstring description;
        std::int16_t part;
    };
    const Case cases[] = {
        {"out of memory at the login", L"User.LoginUser", [] { throw std::bad_alloc(); },
         L"Out of memory", 3},
        {"out of memory in the viewer's set-up", L"Viewer.Requestnum",
         [] { throw std::bad_alloc(); }, L"Out of memory", 6},
        {"a standard exception in Show_Results", L"Viewer.Show_Results",
         [] { throw std::length_error("vector too long"); }, L"vector too long", 8},
        {"anything else in part 1", L"User.SetExePath", [] { throw 42; }, L"Unexpected error", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JobRun run;
        run.journal.during[c.member] = c.raise;
        run.Run();
        const std::wstring caption =
            L"Brevanto.exe Generate " + c.description + L" Part:" + std::to_wstring(c.part);
        EXPECT_EQ(run.window.caption, caption);
        EXPECT_EQ(run.window.log, caption);
        EXPECT_EQ(run.window.state.Outcome, JobOutcome::Failed);
        EXPECT_EQ(run.window.exitTimerArmed, 1);
    }
}

TEST(ReportJob, DescriptionIsShownWholeWithNulsAsBlanks) {
    struct Case {
        const char* name;
        std::wstring description;
        std::wstring caption;
    };
    const Case cases[] = {
        {"empty: two blanks before Part", L"", L"Brevanto.exe Generate  Part:8"},
        {"embedded NUL", std::wstring(L"Printer\0offline", 15),
         L"Brevanto.exe Generate Printer offline Part:8"},
        {"NUL at the end", std::wstring(L"Stopped\0", 8), L"Brevanto.exe Generate Stopped  Part:8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JobRun run;
        run.journal.failures[L"Viewer.Show_Results"] = c.description;
        run.Run();
        EXPECT_EQ(run.window.caption, c.caption);
        EXPECT_EQ(run.window.log, c.caption);
    }
}

TEST(ReportJob, FailurePathRunsEventsOnceThenArmsTheExitTimer) {
    JobRun run;
    run.journal.failures[L"User.LoginUser"] = L"Login refused";
    int armedAtFailureEvents = -1;
    run.window.onEvents = [&] {
        if (run.window.state.Outcome == JobOutcome::Failed)
            armedAtFailureEvents = run.window.exitTimerArmed;
    };
    run.Run();
    EXPECT_EQ(run.window.eventRuns, 4); // three log lines, then the failure path
    EXPECT_EQ(armedAtFailureEvents, 0);
    EXPECT_EQ(run.window.exitTimerArmed, 1);
}

TEST(ReportJob, NonNumericSettingFailsInPartSeven) {
    const std::vector<std::tuple<std::wstring, std::wstring, std::wstring>> cases = {
        {L"ViewMode", L"", L"Settings\\ViewMode is not a number: \"\""},
        {L"ViewMode", L"abc", L"Settings\\ViewMode is not a number: \"abc\""},
        {L"chkPrintRPT", L"yes", L"Settings\\chkPrintRPT is not a number: \"yes\""},
        {L"chkCRW85Export", L"0x1", L"Settings\\chkCRW85Export is not a number: \"0x1\""},
    };
    for (const auto& [key, value, description] : cases) {
        SCOPED_TRACE(std::string(value.begin(), value.end()));
        JobRun run;
        run.store.Set(L"Settings", key, value);
        run.Run();
        EXPECT_EQ(run.window.caption, L"Brevanto.exe Generate " + description + L" Part:7");
        EXPECT_EQ(run.journal.calls.back().find(L"Show_Results"), std::wstring::npos);
    }
    // An empty view mode is first handed to the viewer, then fails the test.
    JobRun run;
    run.store.Set(L"Settings", L"ViewMode", L"");
    run.Run();
    EXPECT_EQ(run.journal.calls.back(), L"Viewer.put viewmode \"\"");
}

TEST(ReportJob, UnloadedWindowStopsTheJobAtItsNextStep) {
    // Component calls made before the job meets the unloaded window, by the log line that served
    // the unload.
    const std::size_t callsBefore[] = {0, 2, 3, 4, 6, 6, 8, 10, 11, 15, 16, 16, 17};
    for (int line = 1; line <= 13; ++line) {
        SCOPED_TRACE(line);
        JobRun run;
        run.window.onEvents = [&] {
            if (run.window.eventRuns == line)
                run.window.Unload();
        };
        run.Run();
        EXPECT_EQ(run.window.eventRuns, line);
        EXPECT_EQ(run.window.touchesAfterUnload, 0);
        EXPECT_EQ(run.window.exitTimerArmed, 0);
        EXPECT_EQ(run.journal.calls.size(), callsBefore[line - 1]);
        EXPECT_EQ(run.window.state.Outcome,
                  line == 13 ? JobOutcome::Completed : JobOutcome::NotFinished);
        EXPECT_EQ(static_cast<bool>(run.window.state.User), line > 1);
    }
}

TEST(ReportJob, UnloadServedInsideAComponentCallStopsBeforeTheNextCall) {
    // Show_Results too: the viewer may have returned early because of the unload.
    const struct {
        const wchar_t* member;
        const wchar_t* call;
    } kCalls[] = {
        {L"Viewer.SetDLLVer", L"Viewer.put SetDLLVer \"1\""},
        {L"Viewer.Show_Results", L"Viewer.call Show_Results"},
    };
    for (const auto& at : kCalls) {
        const std::wstring member = at.member;
        SCOPED_TRACE(std::string(member.begin(), member.end()));
        JobRun run;
        run.journal.during[at.member] = [&] { run.window.Unload(); };
        run.Run();
        EXPECT_EQ(run.journal.calls.back(), at.call);
        EXPECT_EQ(run.window.touchesAfterUnload, 0);
        EXPECT_EQ(run.window.exitTimerArmed, 0);
        EXPECT_EQ(run.window.state.Outcome, JobOutcome::NotFinished);
    }
}

TEST(ReportJob, ErrorAfterUnloadLeavesTheWindowAlone) {
    JobRun run;
    run.journal.during[L"Viewer.Show_Results"] = [&] { run.window.Unload(); };
    run.journal.failures[L"Viewer.Show_Results"] = L"closed under me";
    run.Run();
    EXPECT_EQ(run.window.touchesAfterUnload, 0);
    EXPECT_EQ(run.window.caption, L"Lab Report Generator EXE");
    EXPECT_EQ(run.window.state.Outcome, JobOutcome::NotFinished);
}

} // namespace
} // namespace brevanto::testing
