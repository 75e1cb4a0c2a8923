#include <gtest/gtest.h>

#include "tests/runner/core/facts.h"

namespace brevanto::runner {
namespace {

TEST(RunnerFacts, TheDepPolicyIsNamed) {
    struct Case {
        int policy;
        const char* text;
    };
    const Case cases[] = {
        {0, "AlwaysOff"}, {1, "AlwaysOn"}, {2, "OptIn"}, {3, "OptOut"}, {7, "unknown (7)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.policy);
        EXPECT_EQ(DepPolicyText(c.policy), c.text);
    }
}

TEST(RunnerFacts, TheClockTickIsInMilliseconds) {
    struct Case {
        unsigned long increment;
        const char* text;
    };
    const Case cases[] = {
        {156250, "15.625 ms"}, {10000, "1 ms"}, {5000, "0.5 ms"}, {156001, "15.6001 ms"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.increment);
        EXPECT_EQ(ClockTickText(c.increment), c.text);
    }
}

TEST(RunnerFacts, UacIsOnUnlessEnableLuaSaysOff) {
    struct Case {
        const char* name;
        std::optional<unsigned long> lua;
        std::optional<unsigned long> consent;
        const char* text;
    };
    const Case cases[] = {
        {"absent", std::nullopt, std::nullopt, "on"},
        {"on, prompting", 1, 5, "on"},
        {"on, no prompt", 1, 0, "on, administrators elevated without a prompt"},
        {"off", 0, 5,
         "off (EnableLUA 0): administrators run elevated, and ignore per-user classes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UacText(c.lua, c.consent), c.text);
    }
}

TEST(RunnerFacts, AreAlignedUnderTheLongestLabel) {
    EXPECT_EQ(FactLines({{"DEP policy", "dep", "OptOut"}, {"UAC", "uac", "on"}}),
              (std::vector<std::string>{"  DEP policy  OptOut", "  UAC         on"}));
}

} // namespace
} // namespace brevanto::runner
