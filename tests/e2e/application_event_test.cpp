#include "tests/e2e/program_test.h"

#include "tests/e2e/application_events.h"

namespace brevanto::e2e {
namespace {

constexpr char kPassword[] = "Pa55-never-in-an-event";
constexpr char kRequest[] = "2026-120834";

struct Outcome {
    const char* name;
    std::string scenario;
    int status;
    unsigned type;
    unsigned id;
    const char* firstLine;
    const char* part;
    DWORD timeoutMs = 10000;
    const char* captionLine = nullptr; // for a failure
};

const Outcome kOutcomes[] = {
    {"Completed", "", 0, kInformationEvent, 1000, "The report job completed.", "8"},
    {"Failed", "fail:User.LoginUser=Login refused", 1, kErrorEvent, 1001, "The report job failed.",
     "3", 10000, "Brevanto.exe Generate Login refused Part:3"},
    {"CutOffByTheExitTimer", "pump:Viewer.Show_Results=30000", 2, kWarningEvent, 1002,
     "The exit timer ended the program before the report job finished.", "8", 30000},
    {"Cancelled", "click:User.LoginUser=Cancel", 3, kInformationEvent, 1003,
     "Cancel ended the program before the report job finished.", "4"},
    {"EndedByTheExitGuard", "block:Viewer.Show_Results=60000", 5, kErrorEvent, 1005,
     "A component call held the program past its exit time; the exit guard ended it.", "8", 30000},
    {"Crashed", "crash:Viewer.Show_Results=av", static_cast<int>(0xC0000005), kErrorEvent, 1100,
     "Brevanto crashed with exception 0xC0000005 (access violation).", "8"},
    {"StackOverflow", "crash:Viewer.SetDLLVer=stack", static_cast<int>(0xC00000FD), kErrorEvent,
     1100, "Brevanto crashed with exception 0xC00000FD (stack overflow).", "6"},
};

class RunEndsWithOneEvent : public ProgramTest, public testing::WithParamInterface<Outcome> {};

TEST_P(RunEndsWithOneEvent, OfItsOutcomeWithoutThePassword) {
    const Outcome& outcome = GetParam();
    const ApplicationEventWatch watch;
    if (!watch.NoWitness().empty())
        BREVANTO_SKIP(runner::kNoWitnessSkip, watch.NoWitness());
    StoreSetting(L"LogInData", L"Username", L"labtech");
    StoreSetting(L"LogInData", L"Password",
                 std::wstring(kPassword, kPassword + sizeof kPassword - 1));
    StoreSetting(L"ExeParameters", L"Requestnum", L"2026-120834");
    ProgramRun run(outcome.scenario, watch.WineChannels());
    EXPECT_EQ(run.WaitForExit(outcome.timeoutMs), outcome.status);
    RecordProperty("lifeMs", static_cast<int>(Ms(run.ExitUs() - run.StartUs())));
    const auto events = watch.EventsOf(run);
    ASSERT_EQ(events.size(), 1u);
    const EventSeen& event = events[0];
    EXPECT_EQ(event.type, outcome.type);
    EXPECT_EQ(event.id, outcome.id);
    EXPECT_EQ(event.text.substr(0, event.text.find("\r\n")), outcome.firstLine) << event.text;
    if (outcome.captionLine) {
        EXPECT_EQ(EventLine(event, "Caption"), outcome.captionLine);
    }
    EXPECT_EQ(EventLine(event, "Part"), outcome.part);
    EXPECT_EQ(EventLine(event, "Request number"), kRequest);
    EXPECT_EQ(EventLine(event, "Version"), "8.00.0034");
    EXPECT_NE(EventLine(event, "Run length"), "");
    if (outcome.id == 1100) {
        const std::string member = outcome.scenario.substr(outcome.scenario.find('.') + 1);
        EXPECT_EQ(EventLine(event, "Member being called"),
                  "velmonic.labresultviewer." + member.substr(0, member.find('=')));
        EXPECT_EQ(EventLine(event, "Faulting module").rfind("BrevantoStandin.dll at offset 0x", 0),
                  0u)
            << EventLine(event, "Faulting module");
    }
    EXPECT_EQ(event.text.find(kPassword), std::string::npos) << event.text;
    // Under Wine every line the run traced, not only the event's.
    for (const auto& line : run.Trace())
        EXPECT_EQ(line.find(kPassword), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(ApplicationEvent, RunEndsWithOneEvent, testing::ValuesIn(kOutcomes),
                         kRowName);

TEST(ApplicationEvent, EveryEventIdHasItsMessageInTheExe) {
    const std::wstring exe = ProgramDirectory() + L"\\Brevanto.exe";
    const HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    // Each id's strings, as many as the program writes for it, one a line.
    const std::pair<DWORD, int> ids[] = {{1000, 6}, {1001, 7}, {1002, 6}, {1003, 6},
                                         {1004, 7}, {1005, 6}, {1100, 10}};
    for (const auto& [id, count] : ids) {
        SCOPED_TRACE(id);
        std::vector<std::wstring> strings;
        std::vector<DWORD_PTR> args;
        std::wstring expected;
        for (int i = 1; i <= count; ++i)
            strings.push_back(L"Fact " + std::to_wstring(i));
        for (const auto& text : strings) {
            args.push_back(reinterpret_cast<DWORD_PTR>(text.c_str()));
            expected += text + L"\r\n";
        }
        wchar_t text[512] = {};
        const DWORD length =
            FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module, id,
                           0, text, 512, reinterpret_cast<va_list*>(args.data()));
        ASSERT_GT(length, 0u) << "no message for the id";
        EXPECT_EQ(std::wstring(text), expected) << Utf8(text);
    }
    FreeLibrary(module);
}

} // namespace
} // namespace brevanto::e2e
