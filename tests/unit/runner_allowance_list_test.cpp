#include <gtest/gtest.h>

#include "tests/runner/core/allowance_list.h"

namespace brevanto::runner {
namespace {

std::string Shown(const AllowanceList& list) {
    std::string shown;
    for (const ListedAllowance& entry : list.entries)
        shown += std::to_string(entry.line) + "[" + entry.arch + "|" + entry.test + "|" +
                 entry.why + "] ";
    for (const std::string& error : list.errors)
        shown += "{" + error + "} ";
    return shown;
}

TEST(RunnerAllowanceList, ReadsOneAllowanceALineAndNamesALineThatIsNone) {
    struct Case {
        const char* name;
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {"entries", "i686\tS.A\tWine's log\nx64\tS.B\tWhy: this\n*\tP/S.C/1\ttext\twith tab\n",
         "1[i686|S.A|Wine's log] 2[x64|S.B|Why: this] 3[*|P/S.C/1|text\twith tab] "},
        {"comments, blank lines, CR LF, byte order mark",
         "\xEF\xBB\xBF# heading\r\n\r\n# more\r\nx64\tS.A\tw\r\n", "4[x64|S.A|w] "},
        {"unknown arch", "arm64\tS.A\tw\n",
         "{line 1: the architecture is i686, x64 or *, not \"arm64\"} "},
        {"one tab", "x64\tS.A\n", "{line 1: not <arch>TAB<test>TAB<why>} "},
        {"blanks instead of tabs", "x64 S.A why\n", "{line 1: not <arch>TAB<test>TAB<why>} "},
        {"no why", "x64\tS.A\t\n", "{line 1: no why} "},
        {"no test", "x64\t\twhy\n", "{line 1: no test full name} "},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Shown(ParseAllowanceList(c.text)), c.shown);
    }
}

std::string Shown(const AllowanceComparison& comparison) {
    std::string shown = "unlisted:";
    for (const TakenAllowance& taken : comparison.unlisted)
        shown += " " + taken.test + "|" + taken.why;
    shown += " unused:";
    for (const ListedAllowance& entry : comparison.unused)
        shown += " " + entry.test + "|" + entry.why;
    return shown;
}

TEST(RunnerAllowanceList, ComparesTheAllowancesTakenWithThoseListedForTheArch) {
    const std::vector<ListedAllowance> listed{
        {"x64", "S.A", "a", 1}, {"i686", "S.A", "b", 2}, {"*", "S.B", "c", 3},
        {"x64", "S.C", "d", 4}, {"*", "S.C", "d", 5},    {"x64", "S.D", "e", 6},
    };
    struct Case {
        const char* name;
        const char* arch;
        std::vector<TakenAllowance> taken;
        std::vector<std::string> ran;
        const char* shown;
    };
    const Case cases[] = {
        {"each as listed",
         "x64",
         {{"S.A", "a"}, {"S.B", "c"}, {"S.C", "d"}},
         {"S.A", "S.B", "S.C"},
         "unlisted: unused:"},
        {"listed for the other arch",
         "i686",
         {{"S.A", "a"}},
         {"S.A"},
         "unlisted: S.A|a unused: S.A|b"},
        {"another why", "x64", {{"S.A", "a!"}}, {"S.A"}, "unlisted: S.A|a! unused: S.A|a"},
        {"taken twice, counted once",
         "x64",
         {{"S.X", "z"}, {"S.X", "z"}},
         {"S.X"},
         "unlisted: S.X|z unused:"},
        {"unused only where its test ran", "x64", {}, {"S.C"}, "unlisted: unused: S.C|d"},
        {"nothing ran", "x64", {}, {}, "unlisted: unused:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Shown(CompareAllowances(listed, c.arch, c.taken, c.ran)), c.shown);
    }
}

} // namespace
} // namespace brevanto::runner
