#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace brevanto::support {

// How a program that was run to its end ended, and what it wrote.
struct CapturedRun {
    DWORD status = 0;
    std::string output; // its standard output and error, as bytes
    double ms = 0;      // from its start to its end
};

// Runs application with the whole commandLine (program name first) in folder, and in the job when
// one is given, its standard output and error going to a new file in the temp folder, which is
// read and deleted afterwards. Nothing when it has not ended within timeoutMs (it is killed then);
// throws std::runtime_error when it cannot be started.
std::optional<CapturedRun> RunCapturingOutput(const std::wstring& application,
                                              const std::wstring& commandLine,
                                              const std::wstring& folder, DWORD timeoutMs,
                                              HANDLE job = nullptr);

} // namespace brevanto::support
