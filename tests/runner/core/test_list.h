#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevanto::runner {

// The full names (Suite.Name, Prefix/Suite.Name/Param) a driver's --gtest_list_tests printed, in
// its order, leaving out the disabled ones GoogleTest lists but does not run.
std::vector<std::string> ParseTestList(std::string_view listOutput);

// Whether GoogleTest's --gtest_filter would run the test: it matches a pattern before the first
// '-' (none means "*") and none after it; patterns are ':'-separated, '*' and '?' wildcards.
bool MatchesFilter(std::string_view test, std::string_view filter);

// The tests of shard index (0-based) of count: every count-th test from the index-th on, as
// GoogleTest shards them.
std::vector<std::string> ShardOf(const std::vector<std::string>& tests, int index, int count);

// A --gtest_filter value that runs exactly the wanted tests of all: their names, or, when that is
// shorter, every test but the others.
std::string FilterFor(const std::vector<std::string>& wanted, const std::vector<std::string>& all);

} // namespace brevanto::runner
