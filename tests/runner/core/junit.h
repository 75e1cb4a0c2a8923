#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/runner/core/ledger.h"

namespace brevanto::runner {

using Properties = std::vector<std::pair<std::string, std::string>>;

// One driver's tests on one architecture: its cases are named "<arch>.<suite>" and the test's own
// name, so the same test of the other build stays apart.
struct JunitSuite {
    std::string name; // e.g. "x64 brevanto_wine_tests"
    std::string arch;
    Properties properties;
    std::vector<TestRecord> tests;
};

// A JUnit report of the suites: each case passed, failed (with its message and output), or
// skipped (with its "<category>: <why>"); the allowances and Windows-only checks each test
// reported are in its system-out.
std::string JunitXml(const std::vector<JunitSuite>& suites);

// "Prefix/Suite.Name/Param" as JUnit's class name and name, the class name led by the
// architecture: {"x64.Prefix/Suite", "Name/Param"}.
std::pair<std::string, std::string> JunitNames(std::string_view arch, std::string_view test);

// Text as XML character data or an attribute value: markup escaped, and characters XML 1.0 cannot
// hold (control characters, broken UTF-8) written as U+FFFD.
std::string XmlText(std::string_view text);

} // namespace brevanto::runner
