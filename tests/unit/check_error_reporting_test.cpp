#include <gtest/gtest.h>

#include "check/core/judgement.h"
#include "check/core/report_output.h"
#include "tests/unit/check_facts.h"

namespace brevanto::testing {
namespace {

TEST(WorkstationCheck, CrashDumpsAndEventSourceAreReportedAsInformation) {
    struct Case {
        const char* name;
        check::ErrorReportingFacts facts;
        std::wstring dumpsRow;
        std::wstring sourceRow;
        std::string json;
    };
    const Case cases[] = {
        {"neither",
         {},
         L"not configured (LocalDumps): a crash leaves no dump",
         L"not registered: events are still written, without their text in Event Viewer",
         "\"crashDumps\":{\"configured\":false,\"folder\":\"\",\"count\":0,\"type\":\"\"},"
         "\"eventSource\":{\"registered\":false,\"messageFile\":\"\"}"},
        {"mini dumps, the package's source",
         {true, L"C:\\Dumps", 10, 1, true, L"C:\\Lab\\Brevanto.exe"},
         L"mini dumps in C:\\Dumps, the newest 10 kept",
         L"registered, messages from C:\\Lab\\Brevanto.exe",
         "\"crashDumps\":{\"configured\":true,\"folder\":\"C:\\\\Dumps\",\"count\":10,"
         "\"type\":\"mini\"},"
         "\"eventSource\":{\"registered\":true,\"messageFile\":\"C:\\\\Lab\\\\Brevanto.exe\"}"},
        {"full dumps",
         {true, L"D:\\Crash \"dumps\"", 2, 2, false, L""},
         L"full dumps in D:\\Crash \"dumps\", the newest 2 kept",
         L"not registered: events are still written, without their text in Event Viewer",
         "\"crashDumps\":{\"configured\":true,\"folder\":\"D:\\\\Crash \\\"dumps\\\"\","
         "\"count\":2,\"type\":\"full\"}"},
        {"custom dumps",
         {true, L"C:\\D", 1, 0, true, L""},
         L"custom dumps in C:\\D, the newest 1 kept",
         L"registered, messages from (none)",
         "\"type\":\"custom\"}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        check::WorkstationFacts facts = ReadyWorkstation();
        facts.errorReporting = c.facts;
        const auto judgement = check::Judge(facts);
        // Information only: the workstation is as ready as before.
        EXPECT_TRUE(judgement.Ready());
        const std::wstring text = check::TextReport(facts, judgement);
        EXPECT_NE(text.find(L"\r\nError reporting\r\n"), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"  Crash dumps                   " + c.dumpsRow + L"\r\n"),
                  std::wstring::npos)
            << std::string(text.begin(), text.end());
        EXPECT_NE(text.find(L"  Event source                  " + c.sourceRow + L"\r\n"),
                  std::wstring::npos);
        const std::string json = check::JsonReport(facts, judgement);
        EXPECT_NE(json.find(c.json), std::string::npos) << json;
    }
}

} // namespace
} // namespace brevanto::testing
