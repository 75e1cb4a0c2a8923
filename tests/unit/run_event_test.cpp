#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/core/run_event.h"

namespace brevanto::testing {
namespace {

RunEndFacts Facts(int status) {
    RunEndFacts facts;
    facts.status = status;
    facts.part = 3;
    facts.requestNumberLogged = true;
    facts.requestNumber = L"2026-120834";
    facts.runMs = 5072;
    facts.version = L"8.00.0034";
    return facts;
}

std::wstring Composed(const RunEndFacts& facts) {
    const auto event = std::make_unique<RunEvent>();
    ComposeRunEvent(facts, *event);
    return event->Text();
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

const std::wstring kCommonLines = L"Part: 3\r\n"
                                  L"Request number: ...0834\r\n"
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
    const auto event = std::make_unique<RunEvent>();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ComposeRunEvent(c.facts, *event);
        EXPECT_EQ(event->type, c.type);
        EXPECT_EQ(event->id, c.id);
        EXPECT_EQ(Narrow(event->Text()), Narrow(c.text));
    }
}

TEST(RunEvent, CrashNamesCodeModuleMemberAndDump) {
    struct Case {
        const char* name;
        std::uint32_t code;
        std::wstring module;
        std::wstring member;
        DumpPlan dump;
        std::wstring dumpPath;
        std::wstring dumpProblem;
        std::wstring text;
        std::wstring status; // the event's last line
    };
    const std::wstring dll = L"C:\\Lab\\BrevantoStandin.dll";
    const std::wstring dmp = L"C:\\Dumps\\Brevanto.exe.1234.dmp";
    const Case cases[] = {
        {"access violation, a dump to come", 0xC0000005, dll,
         L"velmonic.labresultviewer.Show_Results", DumpPlan::Pending, dmp, L"",
         L"Brevanto crashed with exception 0xC0000005 (access violation).\r\n"
         L"Faulting module: BrevantoStandin.dll at offset 0x00001A2B\r\n"
         L"Module path: C:\\Lab\\BrevantoStandin.dll\r\n"
         L"Member being called: velmonic.labresultviewer.Show_Results\r\n"
         L"Dump: C:\\Dumps\\Brevanto.exe.1234.dmp, written after this event (a dump not finished "
         L"within 5.000 s of the crash is deleted)\r\n",
         L"Exit status: 0xC0000005\r\n"},
        {"no module, no member, no LocalDumps", 0xE06D7363, L"", L"", DumpPlan::NotConfigured, L"",
         L"",
         L"Brevanto crashed with exception 0xE06D7363 (C++ exception not caught).\r\n"
         L"Faulting module: unknown\r\n"
         L"Module path: none\r\n"
         L"Member being called: none\r\n"
         L"Dump: none (LocalDumps is not configured)\r\n",
         L"Exit status: 0xE06D7363\r\n"},
        {"a dump not written, an unnamed code", 0xC0000135, dll, L"", DumpPlan::NotWritten, L"",
         L"the folder C:\\Dumps is a link or junction",
         L"Brevanto crashed with exception 0xC0000135.\r\n"
         L"Faulting module: BrevantoStandin.dll at offset 0x00001A2B\r\n"
         L"Module path: C:\\Lab\\BrevantoStandin.dll\r\n"
         L"Member being called: none\r\n"
         L"Dump: not written: the folder C:\\Dumps is a link or junction\r\n",
         L"Exit status: 0xC0000135\r\n"},
        {"a module path with a line break", 0xC00000FD, L"C:\\Lab\r\nForged: yes\\x.dll",
         L"ZELTAR_User.clsCurrentUser.LoginUser", DumpPlan::NotConfigured, L"", L"",
         L"Brevanto crashed with exception 0xC00000FD (stack overflow).\r\n"
         L"Faulting module: x.dll at offset 0x00001A2B\r\n"
         L"Module path: C:\\Lab\\r\\nForged: yes\\x.dll\r\n"
         L"Member being called: ZELTAR_User.clsCurrentUser.LoginUser\r\n"
         L"Dump: none (LocalDumps is not configured)\r\n",
         L"Exit status: 0xC00000FD\r\n"},
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
        facts.dumpLimitMs = 5000;
        const auto event = std::make_unique<RunEvent>();
        ComposeRunEvent(facts, *event);
        EXPECT_EQ(event->type, RunEventType::Error);
        EXPECT_EQ(event->id, 1100u);
        EXPECT_EQ(Narrow(event->Text()), Narrow(c.text + kCommonLines + c.status));
    }
}

// Enough to find the run in the job's own records, not the order it stands for.
TEST(RunEvent, ShowsTheRequestNumberByItsLastFourCharacters) {
    struct Case {
        const char* name;
        bool logged;
        std::wstring requestNumber;
        std::wstring line;
    };
    const Case cases[] = {
        {"a request number", true, L"2026-120834", L"Request number: ...0834"},
        {"four characters are all of it", true, L"0834", L"Request number: 0834"},
        {"shorter", true, L"34", L"Request number: 34"},
        {"logged empty", true, L"", L"Request number: (empty)"},
        {"not logged yet", false, L"", L"Request number: none (the job had not logged it)"},
        {"not logged, whatever is stored", false, L"2026-120834",
         L"Request number: none (the job had not logged it)"},
        {"a line break among the last four", true, L"2026-12\r\n34",
         L"Request number: ...\\r\\n34"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunEndFacts facts = Facts(0);
        facts.requestNumberLogged = c.logged;
        facts.requestNumber = c.requestNumber;
        const std::wstring text = Composed(facts);
        EXPECT_NE(text.find(L"\r\n" + c.line + L"\r\n"), std::wstring::npos) << Narrow(text);
    }
}

// A stored value or a component's text can neither make a line of its own nor pass the cap.
TEST(RunEvent, EveryValueStaysOnItsLine) {
    struct Case {
        const char* name;
        int status;
        std::wstring caption;
        std::wstring errorText;
        std::wstring version;
        std::wstring line;
    };
    const Case cases[] = {
        {"caption with CR LF", 1, L"Brevanto.exe Generate Login\r\nrefused Part:3", L"",
         L"8.00.0034", L"Caption: Brevanto.exe Generate Login\\r\\nrefused Part:3"},
        {"error text with a lone LF", 4, L"", L"Bad\nError: forged", L"8.00.0034",
         L"Error: Bad\\nError: forged"},
        {"error text with a bidirectional override", 4, L"",
         L"abc\x202E"
         L"fed",
         L"8.00.0034", L"Error: abc\\u202Efed"},
        {"a version from the resource", 0, L"", L"", L"8.00\r\n0034", L"Version: 8.00\\r\\n0034"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunEndFacts facts = Facts(c.status);
        facts.failureCaption = c.caption;
        facts.errorText = c.errorText;
        facts.version = c.version;
        const auto event = std::make_unique<RunEvent>();
        ComposeRunEvent(facts, *event);
        EXPECT_NE(event->Text().find(L"\r\n" + c.line + L"\r\n"), std::wstring::npos)
            << Narrow(event->Text());
        for (std::size_t i = 0; i < event->count; ++i) {
            EXPECT_EQ(event->strings[i].View().find_first_of(L"\r\n"), std::wstring_view::npos)
                << i;
        }
    }
}

TEST(RunEvent, CapsEachString) {
    RunEndFacts facts = Facts(1);
    const std::wstring caption(100000, L'c');
    facts.failureCaption = caption;
    const auto event = std::make_unique<RunEvent>();
    ComposeRunEvent(facts, *event);
    ASSERT_EQ(event->count, 7u);
    EXPECT_EQ(event->strings[1].View().size(), kEventStringLimit);
    EXPECT_EQ(Narrow(std::wstring(event->strings[1].View().substr(0, 12))), "Caption: ccc");
    EXPECT_EQ(Narrow(std::wstring(event->strings[1].View().substr(kEventStringLimit - 4))), "c...");
    // The strings after it are whole.
    EXPECT_EQ(Narrow(std::wstring(event->strings[6].View())), "Exit status: 1");
}

TEST(RunEvent, BeforeTheJobBeganThereIsNoPart) {
    RunEndFacts facts = Facts(4);
    facts.part = 0;
    EXPECT_NE(Composed(facts).find(L"\r\nPart: none (the job had not begun)\r\n"),
              std::wstring::npos);
}

// The exe's message for each id lays out exactly this many strings.
TEST(RunEvent, EachIdAlwaysHasTheSameNumberOfStrings) {
    struct Case {
        const char* name;
        RunEndFacts facts;
        std::size_t strings;
    };
    RunEndFacts crashBare = Facts(static_cast<int>(0xC0000005));
    crashBare.crashed = true;
    RunEndFacts crashFull = crashBare;
    crashFull.module = L"C:\\x.dll";
    crashFull.member = L"User.LoginUser";
    crashFull.dump = DumpPlan::Pending;
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
    const auto event = std::make_unique<RunEvent>();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ComposeRunEvent(c.facts, *event);
        EXPECT_EQ(event->count, c.strings);
    }
}

} // namespace
} // namespace brevanto::testing
