#pragma once

#include <string>
#include <vector>

#include "tests/runner/core/allowance_list.h"
#include "tests/runner/core/ledger.h"
#include "tests/runner/core/skip_rules.h"

namespace brevanto::runner {

struct Counts {
    int passed = 0;
    int failed = 0;
    int skipped = 0;
};

Counts CountOf(const std::vector<TestRecord>& tests);

// The runner's last line, exactly: "N passed, N failed, N skipped".
std::string LastLine(const Counts& counts);

// What a strict run refuses of a test that did not fail: a skip with no category or one not
// allowed where it ran, and under Wine an allowance the list does not hold for this arch.
struct Refusal {
    std::string test;
    std::string why;
};
std::vector<Refusal> Refusals(const std::vector<TestRecord>& tests, const RunPlace& place,
                              const AllowanceComparison& allowances);

// Counts each refused test as failed, its refusal as the message.
void CountAsFailed(std::vector<TestRecord>& tests, const std::vector<Refusal>& refusals);

// The allowances the tests took, each test's once per why.
std::vector<TakenAllowance> TakenAllowances(const std::vector<TestRecord>& tests);

// The names of the tests that ran to an end the driver reported.
std::vector<std::string> TestsThatRan(const std::vector<TestRecord>& tests);

// The summary's lines before the last: the failed tests, the skips by category, the allowances
// taken under Wine by their why (each with its count) and how the list compares, the checks only
// Windows can make, and the refusals, strict or not.
std::vector<std::string> SummaryLines(const std::vector<TestRecord>& tests,
                                      const AllowanceComparison& allowances,
                                      const std::vector<Refusal>& refusals, bool strict);

} // namespace brevanto::runner
