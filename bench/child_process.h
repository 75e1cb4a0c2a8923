#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace brevanto::bench {

// What to start and how to watch it.
struct Launch {
    std::wstring application; // full path of the exe
    std::wstring commandLine; // the whole command line, program name first
    std::wstring directory;   // current folder of the child
    // The class of the top-level window to wait for; empty when the program shows none.
    std::wstring windowClass;
    DWORD timeoutMs = 60000; // then the child is killed
};

// What the driver saw of one child process, on the clock of bench/clock.h.
struct Observed {
    bool started = false;
    DWORD startError = 0;     // GetLastError of a failed CreateProcess
    std::int64_t startUs = 0; // just before CreateProcess
    std::int64_t shownUs = 0; // its window first seen visible (0: none seen)
    std::int64_t endUs = 0;   // the driver saw it end
    // The largest figures read while it ran (GetProcessMemoryInfo).
    std::uint64_t peakWorkingSet = 0;
    std::uint64_t peakPrivate = 0;
    DWORD exitStatus = 0;
    bool timedOut = false;
};

// Starts the program, polls for its window every millisecond (EnumWindows, as the end-to-end
// driver does), then reads its memory every few milliseconds until it ends.
Observed RunAndWatch(const Launch& launch);

} // namespace brevanto::bench
