#pragma once

#include <vector>

#include "tests/runner/core/facts.h"

namespace brevanto::runner {

// What decides how the tests behave here: Wine or Windows and its build, the runner's own
// bitness, elevated or not, UAC, the DEP policy, the system DPI, the UI language, the session and
// desktop, and the clock tick.
std::vector<Fact> ReadMachineFacts();

// Whether the system runs 64-bit programs (a 32-bit runner asks WOW64).
bool SystemIs64Bit();

} // namespace brevanto::runner
