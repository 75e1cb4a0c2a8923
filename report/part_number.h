#pragma once

#include <cstdint>
#include <string>

namespace brevanto {

// The job's part number as the log and the failure caption print it: decimal, no leading blank,
// no leading zeros, a minus sign only when negative.
inline std::wstring PartNumberText(std::int16_t part) {
    return std::to_wstring(part);
}

} // namespace brevanto
