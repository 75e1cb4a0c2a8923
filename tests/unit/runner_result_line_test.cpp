#include <gtest/gtest.h>

#include "tests/runner/core/result_line.h"

namespace brevanto::runner {
namespace {

// A parsed line written back as one text, so a case's expectation is one literal.
std::string Shown(const std::optional<ResultLine>& line) {
    if (!line)
        return "(not a result line)";
    const char* kinds[] = {"start", "end", "allowance", "windows-only"};
    std::string shown = std::string(kinds[static_cast<int>(line->kind)]) + " [" + line->test + "]";
    if (line->kind == LineKind::End)
        shown += " " + std::string(OutcomeWord(line->outcome)) + " " + std::to_string(line->ms);
    if (!line->text.empty())
        shown += " {" + line->text + "}";
    return shown;
}

TEST(RunnerResultLine, IsTakenApartAsTheProtocolWritesIt) {
    struct Case {
        const char* name;
        const char* line;
        const char* shown;
    };
    const Case cases[] = {
        {"start", "@brevanto-test start Suite.Name", "start [Suite.Name]"},
        {"parameterised start", "@brevanto-test start Prefix/Suite.Name/Param",
         "start [Prefix/Suite.Name/Param]"},
        {"passed", "@brevanto-test end Suite.Name passed 12", "end [Suite.Name] passed 12"},
        {"failed, carriage return", "@brevanto-test end Suite.Name failed 0\r",
         "end [Suite.Name] failed 0"},
        {"skipped with a category", "@brevanto-test end S.N skipped 3 wine-only: Wine has it",
         "end [S.N] skipped 3 {wine-only: Wine has it}"},
        {"skipped with no text", "@brevanto-test end S.N skipped 3 ", "end [S.N] skipped 3"},
        {"allowance", "@brevanto-test allowance S.N Wine's ReportEventW writes no log",
         "allowance [S.N] {Wine's ReportEventW writes no log}"},
        {"windows-only", "@brevanto-test windows-only S.N WerFault never starts",
         "windows-only [S.N] {WerFault never starts}"},
        {"outside a test", "@brevanto-test allowance none a global set-up's",
         "allowance [none] {a global set-up's}"},
        {"GoogleTest's own line", "[ RUN      ] Suite.Name", "(not a result line)"},
        {"marker not at the start", "x @brevanto-test start S.N", "(not a result line)"},
        {"no test", "@brevanto-test start", "(not a result line)"},
        {"unknown word", "@brevanto-test begin S.N", "(not a result line)"},
        {"unknown outcome", "@brevanto-test end S.N crashed 1", "(not a result line)"},
        {"no time", "@brevanto-test end S.N passed", "(not a result line)"},
        {"time not a number", "@brevanto-test end S.N passed 1x", "(not a result line)"},
        {"text after a pass", "@brevanto-test end S.N passed 1 why", "(not a result line)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Shown(ParseResultLine(c.line)), c.shown);
    }
}

} // namespace
} // namespace brevanto::runner
