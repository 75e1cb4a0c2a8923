#include "platform/base/process_age.h"

#include <windows.h>

namespace brevanto {

unsigned long long ProcessAgeMs() {
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return ticks(now) > ticks(created) ? (ticks(now) - ticks(created)) / 10000 : 0;
}

} // namespace brevanto
