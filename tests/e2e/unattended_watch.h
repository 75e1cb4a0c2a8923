#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brevanto::e2e {

// Watches a running program, from a thread of its own until Stop, for what an unattended run
// must never show: a top-level dialog-class window ("#32770": a message box, an error-reporting
// dialog) of the program, shown or not yet shown, and a debugger the system starts for a crash
// no handler took: Windows Error Reporting for the program ("WerFault.exe -p <pid>"), or the
// post-mortem debugger AeDebug names (on Windows one an administrator registered, such as
// Visual Studio's; under Wine its crash handler, winedbg).
class UnattendedWatch {
public:
    explicit UnattendedWatch(DWORD processId);
    ~UnattendedWatch();
    UnattendedWatch(const UnattendedWatch&) = delete;
    UnattendedWatch& operator=(const UnattendedWatch&) = delete;

    // Looks once more, stops watching and ends the debuggers it saw that still run, which would
    // otherwise outlive the test. What it saw stays readable.
    void Stop();

    bool DialogSeen() const { return dialogSeen_; }
    std::size_t DebuggersStarted() const;
    // The command lines of the debuggers seen, as far as they could be read, for a message.
    std::string DebuggersSeen() const;
    // Why the watch could not look, or empty.
    std::string Problem() const;

private:
    void Look();
    void Watch();
    std::vector<DWORD> StartedDebuggers() const;

    const DWORD processId_;
    const std::vector<std::wstring> debuggerImages_;
    std::vector<DWORD> debuggersBefore_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> dialogSeen_{false};
    mutable std::mutex mutex_;
    std::vector<DWORD> debuggers_;
    std::string problem_;
    std::thread thread_;
};

} // namespace brevanto::e2e
