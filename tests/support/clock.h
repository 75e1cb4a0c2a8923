#pragma once

#include <windows.h>

#include <cstdint>

namespace brevanto::support {

// Microseconds on the performance counter: the clock the stand-ins stamp their journal with, the
// same in every process of the machine.
inline std::int64_t NowUs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    // Split so the counter times a million cannot overflow.
    return counter.QuadPart / frequency.QuadPart * 1000000 +
           counter.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

// The system's clock tick, which timers, Sleep and GetTickCount move by: GetSystemTimeAdjustment's
// increment, 15.625 ms on most machines.
inline double ClockTickMs() {
    DWORD adjustment = 0, increment = 0;
    BOOL disabled = FALSE;
    GetSystemTimeAdjustment(&adjustment, &increment, &disabled);
    return static_cast<double>(increment) / 10000.0;
}

constexpr double Ms(std::int64_t us) {
    return static_cast<double>(us) / 1000.0;
}

} // namespace brevanto::support
