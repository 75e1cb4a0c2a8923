#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace brevanto::runner {

// How one start of a driver is made: its program, its arguments after the program's name, its
// folder, the variables added to the runner's cleaned environment, and where its output goes.
struct DriverStart {
    std::wstring program;
    std::wstring arguments;
    std::wstring folder;
    std::vector<std::pair<std::wstring, std::wstring>> variables;
    std::wstring log; // every byte it writes, appended
};

// How a driver's run ended.
struct DriverEnd {
    bool watchdog = false; // ended by the runner: no line for too long
    DWORD status = 0;
    std::string Describe() const;
};

// Runs the driver to its end: with CREATE_DEFAULT_ERROR_MODE (the runner's error mode is none of
// its business), in a job of its own that ends everything it started when the run ends, with the
// runner's environment less what HandedToDriver leaves out plus the start's variables, its
// standard output and error read a line at a time and handed to onLine. stalled() is asked every
// 200 ms whether the driver has gone too long without a result; when it answers true, the job is
// ended. Throws RunnerError when the driver cannot be started.
DriverEnd RunDriver(const DriverStart& start, const std::function<void(std::string_view)>& onLine,
                    const std::function<bool()>& stalled);

} // namespace brevanto::runner
