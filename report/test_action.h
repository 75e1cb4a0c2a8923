#pragma once

#include "report/window_state.h"

namespace brevanto {

// The Test button: has the user component's report classes open "testreport.rpt" for direct
// printing to C:\temp\temp.pdf. Throws RunError; the caller decides how to show it.
void RunTestReport(const WindowState& state);

} // namespace brevanto
