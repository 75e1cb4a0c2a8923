#pragma once

#include <string>
#include <string_view>

#include "tests/runner/core/result_protocol.h"

namespace brevanto::conformance {

// The tests state what Windows does. Where Wine differs, the difference is written where it
// stands, named and counted, as Wine's own conformance tests write broken() the other way round:
//
//     EXPECT_TRUE(held || WineOnly(heldUnderWine, "Wine's ReportEventW writes no log"));
//
// On Windows an allowance is never taken, so the same test tells the truth there.

// True when this process runs under Wine (its ntdll exports wine_get_version; Windows' does not).
bool RunningUnderWine();

// Under Wine: reports the allowance for the running test (counted by the runner, and compared
// with the list of allowances expected under Wine) and gives heldUnderWine. On Windows: false.
bool WineOnly(bool heldUnderWine, std::string_view why);

// A check that only Windows can make: true on Windows, where the caller makes it; under Wine
// reports it as not made (counted by the runner) and gives false.
bool WindowsOnlyCheck(std::string_view what);

// "<category>: <why>", the text of a skip the runner can count.
std::string SkipText(std::string_view category, std::string_view why);

// Writes one protocol line for the running test (or "none" outside a test) to the standard
// output, flushed at once: a driver that dies next still leaves it behind.
void WriteResultLine(std::string_view word, std::string_view rest);

// Installs the listener that writes a start and an end line for every test. Call once in the
// driver's main, after InitGoogleTest.
void InstallResultLines();

} // namespace brevanto::conformance

// Skips the running test with a category the runner knows (result_protocol.h), e.g.
// BREVANTO_SKIP(brevanto::runner::kNeedsElevationSkip, "msiexec installs per machine").
#define BREVANTO_SKIP(category, why)                                                               \
    GTEST_SKIP() << ::brevanto::conformance::SkipText((category), (why))
