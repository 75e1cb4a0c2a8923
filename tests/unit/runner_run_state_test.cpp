#include <gtest/gtest.h>

#include "tests/runner/core/run_state.h"

namespace brevanto::runner {
namespace {

RunState Sample() {
    RunState state;
    state.trees.push_back({"HKCU",
                           "64",
                           "Software\\VB and VBA Program Settings",
                           true,
                           {{"", {}},
                            {"ZELTARPDFCreator\\LogInData",
                             {{"Username", 1, {'l', 0, 'a', 0, 0, 0}}, {"", 4, {1, 0, 0, 0}}}}}});
    state.trees.push_back({"HKLM", "32", "SOFTWARE\\ZELTAR\\Brevanto", false, {}});
    state.folders.push_back({"C:\\Lab", false});
    state.folders.push_back({"C:\\Program Files\\ZELTAR", true});
    state.entries.push_back({"C:\\Temp", "brevanto-", {"brevanto-old", "brevanto-x y"}});
    state.copies.push_back("C:\\Program Files\\Brevanto tests\\20260101-000000-42");
    state.registrations.push_back({"i686", "machine", "C:\\x\\BrevantoStandin.dll"});
    return state;
}

TEST(RunnerRunState, IsWrittenAsLinesAndReadBackWhole) {
    const RunState state = Sample();
    const std::string text = RunStateText(state);
    EXPECT_EQ(text, "brevanto-test-runner run state 1\n"
                    "tree\tHKCU\t64\tSoftware\\VB and VBA Program Settings\tpresent\n"
                    "key\t\n"
                    "key\tZELTARPDFCreator\\LogInData\n"
                    "value\t557365726e616d65\t1\t6c0061000000\n"
                    "value\t\t4\t01000000\n"
                    "tree\tHKLM\t32\tSOFTWARE\\ZELTAR\\Brevanto\tabsent\n"
                    "folder\tC:\\Lab\tabsent\n"
                    "folder\tC:\\Program Files\\ZELTAR\tpresent\n"
                    "entries\tC:\\Temp\tbrevanto-\n"
                    "entry\tbrevanto-old\n"
                    "entry\tbrevanto-x y\n"
                    "copy\tC:\\Program Files\\Brevanto tests\\20260101-000000-42\n"
                    "registered\ti686\tmachine\tC:\\x\\BrevantoStandin.dll\n");
    std::string error;
    const auto read = ParseRunState(text, error);
    ASSERT_TRUE(read) << error;
    EXPECT_TRUE(*read == state);
    RunState restored = state;
    restored.restored = true;
    EXPECT_TRUE(ParseRunState(RunStateText(restored), error)->restored);
}

TEST(RunnerRunState, ATextItDidNotWriteIsRefusedWithItsLine) {
    struct Case {
        const char* name;
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"empty", "", "empty"},
        {"another heading", "run state\n", "line 1: run state"},
        {"a value before any key", "brevanto-test-runner run state 1\nvalue\t\t1\t00\n",
         "line 2: value\t\t1\t00"},
        {"odd hex",
         "brevanto-test-runner run state 1\ntree\tHKCU\t64\tX\tpresent\nkey\t\n"
         "value\t6\t1\t00\n",
         "line 4: value\t6\t1\t00"},
        {"a type that is no number",
         "brevanto-test-runner run state 1\ntree\tHKCU\t64\tX\tpresent\nkey\t\nvalue\t\tsz\t00\n",
         "line 4: value\t\tsz\t00"},
        {"a tree neither present nor absent",
         "brevanto-test-runner run state 1\ntree\tHKCU\t64\tX\tgone\n",
         "line 2: tree\tHKCU\t64\tX\tgone"},
        {"an unknown line", "brevanto-test-runner run state 1\nsomething\n", "line 2: something"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(ParseRunState(c.text, error));
        EXPECT_EQ(error, c.error);
    }
}

} // namespace
} // namespace brevanto::runner
