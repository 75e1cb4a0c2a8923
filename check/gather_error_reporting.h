#pragma once

#include "check/core/error_reporting.h"

namespace brevanto::check {

// Reads LocalDumps for Brevanto.exe and the event source's registration, in the 64-bit view.
ErrorReportingFacts GatherErrorReporting();

} // namespace brevanto::check
