#include <gtest/gtest.h>

#include "tests/runner/core/driver_environment.h"

namespace brevanto::runner {
namespace {

TEST(RunnerDriverEnvironment, LeavesOutWhatWouldChangeWhatTheTestsDoOrSee) {
    struct Case {
        const char* name;
        bool handed;
    };
    const Case cases[] = {
        {"PATH", true},
        {"TEMP", true},
        {"WINEDEBUG", true},
        {"=C:", true},
        {"BREVANTO_STANDIN_SCENARIO", false},
        {"brevanto_standin_journal", false},
        {"BREVANTO_DRIVER_STDERR", false},
        {"GTEST_FILTER", false},
        {"GTEST_SHARD_INDEX", false},
        {"GOOGLETEST_TOTAL_SHARDS", false},
        {"__COMPAT_LAYER", false},
        {"_NT_SYMBOL_PATH", false},
        {"_nt_alt_symbol_path", false},
        {"BREVANTO", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HandedToDriver(c.name), c.handed);
    }
}

TEST(RunnerDriverEnvironment, ATestsEvidenceIsNamedForAFolder) {
    struct Case {
        const char* test;
        const char* fileName;
        const char* evidence;
    };
    const Case cases[] = {
        {"Suite.Name", "Suite.Name", "x64-Suite.Name"},
        {"Prefix/Suite.Name/Param", "Prefix-Suite.Name-Param", "x64-Prefix-Suite.Name-Param"},
        {"S.a:b*c d", "S.a-b-c-d", "x64-S.a-b-c-d"},
        {"S_1.N-2", "S_1.N-2", "x64-S_1.N-2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.test);
        EXPECT_EQ(TestFileName(c.test), c.fileName);
        EXPECT_EQ(EvidenceName("x64", c.test), c.evidence);
    }
}

} // namespace
} // namespace brevanto::runner
