#include <gtest/gtest.h>

#include "tests/runner/core/test_list.h"

namespace brevanto::runner {
namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : " ") + name;
    return joined;
}

TEST(RunnerTestList, NamesEveryTestGoogleTestListedThatItRuns) {
    struct Case {
        const char* name;
        const char* listing;
        const char* tests;
    };
    const Case cases[] = {
        {"plain", "Suite.\n  A\n  B\nOther.\n  C\n", "Suite.A Suite.B Other.C"},
        {"carriage returns", "Suite.\r\n  A\r\n", "Suite.A"},
        {"parameterised, with remarks",
         "Prefix/Suite.  # TypeParam = int\n  Name/0  # GetParam() = 1\n  Name/Row  # GetParam() = "
         "{ a }\n",
         "Prefix/Suite.Name/0 Prefix/Suite.Name/Row"},
        {"disabled suite and tests",
         "DISABLED_Suite.\n  A\nSuite.\n  DISABLED_B\n  C\nP/DISABLED_S.\n  D\n", "Suite.C"},
        {"a line before the first suite", "Note: something\n  Orphan\nSuite.\n  A\n", "Suite.A"},
        {"no trailing line break", "Suite.\n  A", "Suite.A"},
        {"nothing", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Joined(ParseTestList(c.listing)), c.tests);
    }
}

TEST(RunnerTestList, ShardsAsGoogleTestDoes) {
    const std::vector<std::string> tests{"a", "b", "c", "d", "e"};
    struct Case {
        int index;
        int count;
        const char* shard;
    };
    const Case cases[] = {
        {0, 1, "a b c d e"}, {0, 3, "a d"}, {1, 3, "b e"}, {2, 3, "c"},
        {0, 7, "a"},         {6, 7, ""},    {3, 3, ""},    {0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + "/" + std::to_string(c.count));
        EXPECT_EQ(Joined(ShardOf(tests, c.index, c.count)), c.shard);
    }
}

TEST(RunnerTestList, TheFilterNamesTheWantedTestsOrTheOthersWhicheverIsShorter) {
    const std::vector<std::string> all{"S.LongTestNameOne", "S.LongTestNameTwo", "S.Three", "T.x"};
    struct Case {
        const char* name;
        std::vector<std::string> wanted;
        const char* filter;
    };
    const Case cases[] = {
        {"all", all, "*"},
        {"none", {}, "-*"},
        {"one", {"S.Three"}, "S.Three"},
        {"all but one", {"S.LongTestNameOne", "S.LongTestNameTwo", "S.Three"}, "-T.x"},
        {"two", {"S.Three", "T.x"}, "S.Three:T.x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FilterFor(c.wanted, all), c.filter);
    }
}

TEST(RunnerTestList, MatchesAFilterAsGoogleTestDoes) {
    struct Case {
        const char* test;
        const char* filter;
        bool matches;
    };
    const Case cases[] = {
        {"S.A", "*", true},
        {"S.A", "", true},
        {"S.A", "S.*", true},
        {"S.A", "T.*", false},
        {"S.A", "T.*:S.A", true},
        {"S.A", "S.?", true},
        {"S.AB", "S.?", false},
        {"S.A", "-S.A", false},
        {"S.B", "-S.A", true},
        {"S.B", "S.*-S.A:S.C", true},
        {"S.C", "S.*-S.A:S.C", false},
        {"P/S.N/Row", "*S.N/*", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.test) + " with " + c.filter);
        EXPECT_EQ(MatchesFilter(c.test, c.filter), c.matches);
    }
}

} // namespace
} // namespace brevanto::runner
