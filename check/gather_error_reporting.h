#pragma once

#include "check/core/error_reporting.h"

namespace brevanto::check {

// Reads LocalDumps for Brevanto.exe and the event source's registration in the 64-bit view, who
// may read the dumps made in the dump folder, and whether Windows Error Reporting's dialog is
// shown.
ErrorReportingFacts GatherErrorReporting();

} // namespace brevanto::check
