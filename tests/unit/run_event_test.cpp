#include <gtest/gtest.h>

#include <string>

#include "app/run_event.h"

namespace brevanto::testing {
namespace {

RunEndFacts Facts(int status) {
    RunEndFacts facts;
    facts.status = status;
    facts.part = 3;
    facts.requestNumber = L"2026-120834";
    facts.runMs = 5072;
    facts.version = L"8.00.0034";
    return facts;
}

const std::wstring kCommonLines = L"Part: 3\r\n"
                                  L"Request number: 2026-120834\r\n"
                                  L"Run length: 5.072 s\r\n"
                                  L"Version: 8.00.0034\r\n";

TEST(RunEvent, EachOutcomeHasItsTypeIdAndText) {
    struct Case {
        const char* name;
        RunEndFacts facts;
        RunEventType type;
        unsigned id;
        std::wstring text;
    };
    RunEndFacts failed = Facts(1);
    failed.failureCaption = L"Brevanto.exe Generate Wrong password Part:3";
    RunEndFacts unhandled = Facts(4);
    unhandled.errorText = L"Cannot create object \"ZELTAR_User.clsCurrentUser\"";
    const Case cases[] = {
        {"completed", Facts(0), RunEventType::Information, 1000,
         L"The report job completed.\r\n" + kCommonLines + L"Exit status: 0\r\n"},
        {"failed", failed, RunEventType::Error, 1001,
         L"The report job failed.\r\n"
         L"Caption: Brevanto.exe Generate Wrong password Part:3\r\n" +
             kCommonLines + L"Exit status: 1\r\n"},
        {"cut off by the exit timer", Facts(2), RunEventType::Warning, 1002,
         L"The exit timer ended the program before the report job finished.\r\n" + kCommonLines +
             L"Exit status: 2\r\n"},
        {"cancelled", Facts(3), RunEventType::Information, 1003,
         L"Cancel ended the program before the report job finished.\r\n" + kCommonLines +
             L"Exit status: 3\r\n"},
        {"unhandled error", unhandled, RunEventType::Error, 1004,
         L"An error outside the report job ended the program.\r\n"
         L"Error: Cannot create object \"ZELTAR_User.clsCurrentUser\"\r\n" +
             kCommonLines + L"Exit status: 4\r\n"},
        {"ended by the exit guard", Facts(5), RunEventType::Error, 1005,
         L"A component call held the program past its exit time; the exit guard ended it.\r\n" +
             kCommonLines + L"Exit status: 5\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunEvent event = RunEventFor(c.facts);
        EXPECT_EQ(event.type, c.type);
        EXPECT_EQ(event.id, c.id);
        EXPECT_EQ(event.Text(), c.text);
    }
}

TEST(RunEvent, CrashNamesCodeModuleMemberAndDump) {
    struct Case {
        const char* name;
        std::uint32_t code;
        std::wstring module;
        std::wstring member;
        DumpWritten dump;
        std::wstring dumpPath;
        std::wstring dumpProblem;
        std::wstring text;
    };
    const std::wstring dll = L"C:\\Lab\\BrevantoStandin.dll";
    const std::wstring dmp = L"C:\\Dumps\\Brevanto.exe.1234.dmp";
    const Case cases[] = {
        {"access violation with a dump", 0xC0000005, dll, L"velmonic.labresultviewer.Show_Results",
         DumpWritten::Written, dmp, L"",
         L"Brevanto crashed with exception 0xC0000005 (access violation).\r\n"
         L"Faulting module: BrevantoStandin.dll at offset 0x00001A2B\r\n"
         L"Module path: C:\\Lab\\BrevantoStandin.dll\r\n"
         L"Member being called: velmonic.labresultviewer.Show_Results\r\n"
         L"Dump: C:\\Dumps\\Brevanto.exe.1234.dmp\r\n"},
        {"no module, no member, no LocalDumps", 0xE06D7363, L"", L"", DumpWritten::NotConfigured,
         L"", L"",
         L"Brevanto crashed with exception 0xE06D7363 (C++ exception not caught).\r\n"
         L"Faulting module: unknown\r\n"
         L"Module path: none\r\n"
         L"Member being called: none\r\n"
         L"Dump: none (LocalDumps is not configured)\r\n"},
        {"a dump cut short", 0xC00000FD, dll, L"ZELTAR_User.clsCurrentUser.LoginUser",
         DumpWritten::CutShort, dmp, L"",
         L"Brevanto crashed with exception 0xC00000FD (stack overflow).\r\n"
         L"Faulting module: BrevantoStandin.dll at offset 0x00001A2B\r\n"
         L"Module path: C:\\Lab\\BrevantoStandin.dll\r\n"
         L"Member being called: ZELTAR_User.clsCurrentUser.LoginUser\r\n"
         L"Dump: not finished within 14.200 s of the crash, and deleted: "
         L"C:\\Dumps\\Brevanto.exe.1234.dmp\r\n"},
        {"a dump that failed, an unnamed code", 0xC0000135, dll, L"", DumpWritten::Failed, L"",
         L"the folder could not be created (error 5)",
         L"Brevanto crashed with exception 0xC0000135.\r\n"
         L"Faulting module: BrevantoStandin.dll at offset 0x00001A2B\r\n"
         L"Module path: C:\\Lab\\BrevantoStandin.dll\r\n"
         L"Member being called: none\r\n"
         L"Dump: not written: the folder could not be created (error 5)\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunEndFacts facts = Facts(static_cast<int>(c.code));
        facts.crashed = true;
        facts.module = c.module;
        facts.offset = 0x1A2B;
        facts.member = c.member;
        facts.dump = c.dump;
        facts.dumpPath = c.dumpPath;
        facts.dumpProblem = c.dumpProblem;
        facts.dumpLimitMs = 14200;
        const RunEvent event = RunEventFor(facts);
        EXPECT_EQ(event.type, RunEventType::Error);
        EXPECT_EQ(event.id, 1100u);
        wchar_t status[16];
        std::swprintf(status, 16, L"0x%08X", static_cast<unsigned>(c.code));
        EXPECT_EQ(event.Text(), c.text + kCommonLines + L"Exit status: " + status + L"\r\n");
    }
}

TEST(RunEvent, BeforeTheJobBeganThereIsNoPart) {
    RunEndFacts facts = Facts(4);
    facts.part = 0;
    EXPECT_NE(RunEventFor(facts).Text().find(L"\r\nPart: none (the job had not begun)\r\n"),
              std::wstring::npos);
}

// The exe's message for each id lays out exactly this many strings.
TEST(RunEvent, EachIdAlwaysHasTheSameNumberOfLines) {
    struct Case {
        const char* name;
        RunEndFacts facts;
        std::size_t lines;
    };
    RunEndFacts crashBare = Facts(static_cast<int>(0xC0000005));
    crashBare.crashed = true;
    RunEndFacts crashFull = crashBare;
    crashFull.module = L"C:\\x.dll";
    crashFull.member = L"User.LoginUser";
    crashFull.dump = DumpWritten::Written;
    crashFull.dumpPath = L"C:\\d.dmp";
    const Case cases[] = {
        {"1000", Facts(0), 6},
        {"1001", Facts(1), 7},
        {"1002", Facts(2), 6},
        {"1003", Facts(3), 6},
        {"1004", Facts(4), 7},
        {"1005", Facts(5), 6},
        {"1100 knowing little", crashBare, 10},
        {"1100 knowing all", crashFull, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RunEventFor(c.facts).lines.size(), c.lines);
    }
}

} // namespace
} // namespace brevanto::testing
