#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/journal_reader.h"

namespace brevanto::e2e {

// Microseconds on the machine-wide performance counter, the clock the stand-ins stamp with.
std::int64_t NowUs();

// Folder of the test programs: Brevanto.exe and BrevantoStandin.dll stand beside the driver.
std::wstring BinaryDirectory();

// One run of Brevanto.exe, started with a scenario for the stand-in components.
class ProgramRun {
public:
    // wineDebug, when given, turns on Wine's trace channels for this run only (e.g. "trace+ole").
    explicit ProgramRun(const std::string& scenario = "", const std::string& wineDebug = "");
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // The main window once it is visible; fails the test after a few seconds without one.
    HWND Window();
    HWND Control(int id);
    std::wstring Caption();
    std::wstring Log();
    // Polls the log box until pred holds, the process ends or timeoutMs passes.
    bool WaitForLog(const std::function<bool(const std::wstring&)>& pred, DWORD timeoutMs);
    bool WaitForLogLines(std::size_t lines, DWORD timeoutMs);
    // Posts a click to a button of the window, served at the program's next event run.
    void Click(int id);

    // Waits for the process to end; returns its exit status, or -1 on timeout (then kills it).
    int WaitForExit(DWORD timeoutMs);
    bool Running() const;

    std::vector<JournalCall> Journal() const { return ReadJournal(journalPath_); }
    // The lines of Wine's trace that this process wrote, each without its process prefix. Only
    // where the driver's own standard error is a file (TraceReadable).
    std::vector<std::string> Trace() const;
    bool TraceReadable() const;
    std::vector<std::string> Calls() const { return CallTexts(Journal()); }

    DWORD ProcessId() const { return processInfo_.dwProcessId; }
    std::int64_t StartUs() const { return startUs_; }
    std::int64_t ShownUs() const { return shownUs_; }
    std::int64_t ExitUs() const { return exitUs_; }
    // The last texts seen while the program ran.
    const std::wstring& LastLog() const { return lastLog_; }
    const std::wstring& LastCaption() const { return lastCaption_; }

private:
    std::wstring TextOf(HWND window);

    std::wstring journalPath_;
    std::wstring tracePath_;
    std::uint64_t traceStart_ = 0;
    PROCESS_INFORMATION processInfo_{};
    HWND window_ = nullptr;
    std::int64_t startUs_ = 0;
    std::int64_t shownUs_ = 0;
    std::int64_t exitUs_ = 0;
    std::wstring lastLog_;
    std::wstring lastCaption_;
};

// Lines of a log box text, each without its CR LF.
std::vector<std::wstring> LogLines(const std::wstring& log);

// The thirteen lines of a run with an empty settings store.
std::vector<std::wstring> EmptyStoreLog(const std::wstring& programDirectory);

} // namespace brevanto::e2e
