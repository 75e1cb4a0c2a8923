#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/base/unique_resource.h"

namespace brevanto::support {

// A program this one started; killed at the end if it still runs. Times are on NowUs's clock.
class ChildProcess {
public:
    // Starts application with the whole commandLine (program name first) in folder, its standard
    // output and error going to standardOutput when one is given (an inheritable handle), and in
    // the job when one is given; throws std::runtime_error when it cannot.
    ChildProcess(const std::wstring& application, const std::wstring& commandLine,
                 const std::wstring& folder, HANDLE standardOutput = nullptr, HANDLE job = nullptr);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    DWORD Id() const { return id_; }
    bool Running() const;
    std::int64_t StartUs() const { return startUs_; } // just before it was started
    std::int64_t EndUs() const { return endUs_; }     // when it was seen ended; 0 before

    // Its visible top-level window of the class, polled every millisecond; null when the process
    // ends or timeoutMs passes first.
    HWND WaitForWindow(const std::wstring& windowClass, DWORD timeoutMs) const;
    // True when the process has ended within timeoutMs.
    bool WaitForExit(DWORD timeoutMs);
    // Ends it with status 99 and waits a few seconds for that.
    void Kill();
    DWORD ExitStatus() const;

private:
    UniqueHandle process_;
    DWORD id_ = 0;
    std::int64_t startUs_ = 0;
    std::int64_t endUs_ = 0;
};

} // namespace brevanto::support
