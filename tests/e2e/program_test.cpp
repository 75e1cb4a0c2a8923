#include "tests/e2e/program_test.h"

#include <algorithm>

namespace brevanto::e2e {

const JournalCall* FindCall(const std::vector<JournalCall>& journal, const std::string& text) {
    const auto it = std::find_if(journal.begin(), journal.end(),
                                 [&](const JournalCall& call) { return call.Text() == text; });
    return it == journal.end() ? nullptr : &*it;
}

// Windows runs timers on its clock tick, so a timer may fire up to a tick before its count as the
// performance counter measures it, and the stand-in stamps the call from another process: 1 ms
// more. Wine's timers hold to about 1 ms, though it reports Windows' usual tick: 10 ms there.
double TimerEarlyMs() {
    constexpr double kWineTimerEarlyMs = 10.0;
    constexpr double kStampMs = 1.0;
    return RunningUnderWine() ? kWineTimerEarlyMs : support::ClockTickMs() + kStampMs;
}

void ExpectEndedAboutFiveSecondsAfter(std::int64_t endUs, std::int64_t fromUs,
                                      ExitArmedAfter from) {
    const double endedMs = Ms(endUs - fromUs);
    EXPECT_GE(endedMs, EarliestExitMs(from));
    EXPECT_LE(endedMs, kLatestExitMs);
}

std::vector<std::string> EmptyStoreCalls(const std::wstring& programDirectory) {
    return {
        "User.put SetExePath " + Bstr(programDirectory),
        "User.put PasswordDeptCode BSTR:\"\"",
        "User.call LoginUser BSTR:\"\" BSTR:\"\"",
        "Viewer.put zeltarUser DISPATCH:User",
        "Viewer.put setexportpath " + Bstr(programDirectory + L"\\PDF"),
        "Viewer.put SetDLLVer BSTR:\"1\"",
        "Viewer.put Requestnum BSTR:\"\"",
        "Viewer.put AutoPrint BOOL:-1",
        "Viewer.put viewmode BSTR:\"1\"",
        "Viewer.get zeltarUser",
        "User.get ZELTARClasses",
        "Classes.put PDFPrintMode BSTR:\"1\"",
        "Viewer.put loadviewer BOOL:-1",
        "Viewer.put Export BOOL:-1",
        "Viewer.call Show_Results",
    };
}

std::vector<std::string> TestButtonCalls() {
    return {
        "User.get ZELTARClasses",
        "Classes.put ExportFileName BSTR:\"temp.pdf\"",
        "Classes.put ExportFilePath BSTR:\"C:\\\\temp\\\\\"",
        "Classes.put directprint BOOL:-1",
        "Classes.put PDFPrintMode I2:1",
        "Classes.call OpenMainReport BSTR:\"testreport.rpt\" BSTR:\"\" BSTR:\"\"",
    };
}

MessageBoxSeen WaitForMessageBox(const ProgramRun& run, DWORD timeoutMs) {
    MessageBoxSeen seen;
    seen.box = run.Process().WaitForWindow(L"#32770", timeoutMs);
    if (seen.box) {
        seen.seenUs = NowUs();
        wchar_t text[512] = {};
        SendMessageW(seen.box, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        seen.title = text;
        text[0] = 0;
        SendMessageW(GetDlgItem(seen.box, 0xFFFF), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        seen.text = text;
    }
    return seen;
}

bool EveryObjectReleased(const std::vector<JournalCall>& journal) {
    const auto count = [&](const char* kind) {
        return std::count_if(journal.begin(), journal.end(),
                             [&](const JournalCall& c) { return c.kind == kind; });
    };
    return count("create") == count("destroy");
}

RunEnd RunToItsEnd(const std::string& scenario, DWORD timeoutMs) {
    ProgramRun run(scenario);
    RunEnd end;
    end.status = run.WaitForExit(timeoutMs);
    end.lifeMs = Ms(run.ExitUs() - run.StartUs());
    const auto journal = run.Journal();
    const auto calls = CallTexts(journal);
    end.lastCall = calls.empty() ? "" : calls.back();
    end.everyObjectReleased = EveryObjectReleased(journal);
    return end;
}

} // namespace brevanto::e2e
