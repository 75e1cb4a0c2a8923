#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/job_window.h"

namespace brevanto {

// One line of the run log: a blank, the part number, a blank, the message, CR LF.
std::wstring LogLine(std::int16_t part, std::wstring_view message);

// Appends one line for the current part to whatever the log box holds, then lets the window
// serve its pending events once.
void WriteLog(JobWindow& window, const std::wstring& message);

} // namespace brevanto
