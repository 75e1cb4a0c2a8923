#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/base/program_directory.h"
#include "tests/support/child_process.h"
#include "tests/support/clock.h"
#include "tests/support/environment_variable.h"
#include "tests/support/journal_file.h"

namespace brevanto::support {

// One run of Brevanto.exe from the program's folder, started with a scenario for the stand-in
// components and a journal of its own.
class ProgramRun {
public:
    // wineDebug, when given, turns on Wine's trace channels for this run only (e.g. "trace+ole").
    explicit ProgramRun(const std::string& scenario = "", const std::string& wineDebug = "");
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // The main window once it is visible; throws after a few seconds without one.
    HWND Window();
    // The same without failing the test: null when the program ends or a few seconds pass first.
    HWND TryWindow();
    HWND Control(int id);
    std::wstring Caption();
    std::wstring Log();
    // Polls the log box until pred holds, the process ends or timeoutMs passes.
    bool WaitForLog(const std::function<bool(const std::wstring&)>& pred, DWORD timeoutMs);
    bool WaitForLogLines(std::size_t lines, DWORD timeoutMs);
    // Polls until the job has failed: the log box then holds the failure caption alone.
    bool WaitForFailure(DWORD timeoutMs);
    // Polls the journal until it holds the call count times.
    bool WaitForCall(const std::string& call, std::size_t count, DWORD timeoutMs) const;
    // Posts a click to a button of the window, served at the program's next event run; throws
    // when the window has no such control.
    void Click(int id);

    // Waits for the process to end; returns its exit status, or -1 on timeout (then kills it).
    int WaitForExit(DWORD timeoutMs);
    // Clicks Cancel, then WaitForExit.
    int EndWithCancel(DWORD timeoutMs);
    bool Running() const { return process_.Running(); }
    const ChildProcess& Process() const { return process_; }

    std::vector<JournalCall> Journal() const { return journal_.Read(); }
    std::vector<std::string> Calls() const { return CallTexts(Journal()); }
    // The lines of Wine's trace that this process wrote, each without its process prefix. Only
    // where the driver's own standard error is a file (TraceReadable).
    std::vector<std::string> Trace() const;
    bool TraceReadable() const { return !tracePath_.empty(); }

    DWORD ProcessId() const { return process_.Id(); }
    std::int64_t StartUs() const { return process_.StartUs(); }
    std::int64_t ShownUs() const { return shownUs_; }
    std::int64_t ExitUs() const { return process_.EndUs(); }
    // The last texts seen while the program ran.
    const std::wstring& LastLog() const { return lastLog_; }
    const std::wstring& LastCaption() const { return lastCaption_; }

private:
    std::wstring TextOf(HWND window);

    JournalFile journal_;
    ScopedEnvironmentVariable scenario_;
    std::wstring tracePath_;
    std::uint64_t traceStart_ = 0;
    ChildProcess process_;
    HWND window_ = nullptr;
    std::int64_t shownUs_ = 0;
    std::wstring lastLog_;
    std::wstring lastCaption_;
};

// Whether Wine's trace of a run started with debug channels can be read back: only where the
// driver's own standard error is a file, named in BREVANTO_DRIVER_STDERR (scripts/test does it).
bool WineTraceReadable();

// The DPI a window lays itself out at: its monitor's for a per-monitor aware window (Windows 10
// 1607 and later, and Wine), else the system's.
unsigned WindowDpi(HWND window);

// The pixel layouts the tests know are those at 96 DPI.
inline constexpr unsigned kLayoutDpi = 96;

// Lines of a log box text, each without its CR LF.
std::vector<std::wstring> LogLines(const std::wstring& log);

// The thirteen lines of a run with an empty settings store.
std::vector<std::wstring> EmptyStoreLog(const std::wstring& programDirectory);

} // namespace brevanto::support
