#pragma once

#include <windows.h>

#include <cstdint>

namespace brevanto::bench {

// Microseconds on the performance counter: the clock the stand-ins stamp their journal with, the
// same in every process of the machine.
inline std::int64_t NowUs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return counter.QuadPart / frequency.QuadPart * 1000000 +
           counter.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

} // namespace brevanto::bench
