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

constexpr double Ms(std::int64_t us) {
    return static_cast<double>(us) / 1000.0;
}

} // namespace brevanto::support
