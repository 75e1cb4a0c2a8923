#include "tests/e2e/program_test.h"

#include <map>

#include "platform/security/accounts.h"
#include "tests/e2e/application_events.h"

namespace brevanto::e2e {
namespace {

constexpr char kPassword[] = "Pa55-never-in-an-event";
constexpr wchar_t kRequest[] = L"2026-120834";
constexpr char kRequestShown[] = "...0834";
constexpr char kRequestNotLogged[] = "none (the job had not logged it)";

// How many strings, one a line, each id's event has.
const std::map<unsigned, std::size_t> kStringsOfId = {{1000, 6}, {1001, 7}, {1002, 6}, {1003, 6},
                                                      {1004, 7}, {1005, 6}, {1100, 10}};

struct Outcome {
    const char* name;
    std::string scenario;
    int status;
    unsigned type;
    unsigned id;
    const char* firstLine;
    const char* part;
    const char* requestLine = kRequestShown;
    DWORD timeoutMs = 10000;
    const char* captionLine = nullptr;     // for a failure: as the event shows it
    const wchar_t* captionShown = nullptr; // and as the window shows it
    const wchar_t* storedRequest = kRequest;
};

const Outcome kOutcomes[] = {
    {"Completed", "", 0, kInformationEvent, 1000, "The report job completed.", "8"},
    {"Failed", "fail:User.LoginUser=Login refused", 1, kErrorEvent, 1001, "The report job failed.",
     "3", kRequestNotLogged, 10000, "Brevanto.exe Generate Login refused Part:3"},
    {"CutOffByTheExitTimer", "pump:Viewer.Show_Results=30000", 2, kWarningEvent, 1002,
     "The exit timer ended the program before the report job finished.", "8", kRequestShown, 30000},
    {"Cancelled", "click:User.LoginUser=Cancel", 3, kInformationEvent, 1003,
     "Cancel ended the program before the report job finished.", "4", kRequestNotLogged},
    {"EndedByTheExitGuard", "block:Viewer.Show_Results=60000", 5, kErrorEvent, 1005,
     "A component call held the program past its exit time; the exit guard ended it.", "8",
     kRequestShown, 30000},
    {"Crashed", "crash:Viewer.Show_Results=av", static_cast<int>(0xC0000005), kErrorEvent, 1100,
     "Brevanto crashed with exception 0xC0000005 (access violation).", "8"},
    {"StackOverflow", "crash:Viewer.SetDLLVer=stack", static_cast<int>(0xC00000FD), kErrorEvent,
     1100, "Brevanto crashed with exception 0xC00000FD (stack overflow).", "6", kRequestNotLogged},
    // A component that echoes the password in its error: the window keeps the caption exactly,
    // the event masks it.
    {"FailedEchoingThePassword", "fail:User.LoginUser=Login refused for Pa55-never-in-an-event", 1,
     kErrorEvent, 1001, "The report job failed.", "3", kRequestNotLogged, 10000,
     "Brevanto.exe Generate Login refused for ******** Part:3",
     L"Brevanto.exe Generate Login refused for Pa55-never-in-an-event Part:3"},
    // A stored or reported line break cannot make a line of its own.
    {"FailedWithALineBreak", "fail:User.LoginUser=Login\\u000D\\u000APart: 9", 1, kErrorEvent, 1001,
     "The report job failed.", "3", kRequestNotLogged, 10000,
     "Brevanto.exe Generate Login\\r\\nPart: 9 Part:3"},
    {"RequestNumberWithALineBreak", "", 0, kInformationEvent, 1000, "The report job completed.",
     "8", "...\\r\\n34", 10000, nullptr, nullptr, L"12\r\n34"},
};

// The member each crash row's scenario crashes in, as its event names it.
const std::map<std::string, std::string> kMemberOfCrash = {
    {"Crashed", "velmonic.labresultviewer.Show_Results"},
    {"StackOverflow", "velmonic.labresultviewer.SetDLLVer"},
};

std::size_t LineCount(const std::string& text) {
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2)
        ++lines;
    return lines;
}

class RunEndsWithOneEvent : public ProgramTest, public testing::WithParamInterface<Outcome> {};

TEST_P(RunEndsWithOneEvent, OfItsOutcomeWhoseRunItWasWithoutThePassword) {
    const Outcome& outcome = GetParam();
    const ApplicationEventWatch watch;
    if (!watch.NoWitness().empty())
        BREVANTO_SKIP(runner::kNoWitnessSkip, watch.NoWitness());
    StoreSetting(L"LogInData", L"Username", L"labtech");
    StoreSetting(L"LogInData", L"Password",
                 std::wstring(kPassword, kPassword + sizeof kPassword - 1));
    StoreSetting(L"ExeParameters", L"Requestnum", outcome.storedRequest);
    ProgramRun run(outcome.scenario, watch.WineChannels());
    if (outcome.captionShown) {
        ASSERT_TRUE(run.WaitForFailure(outcome.timeoutMs));
        EXPECT_EQ(Utf8(run.Caption()), Utf8(outcome.captionShown));
    }
    EXPECT_EQ(run.WaitForExit(outcome.timeoutMs), outcome.status);
    RecordProperty("lifeMs", static_cast<int>(Ms(run.ExitUs() - run.StartUs())));
    const auto events = watch.EventsOf(run);
    ASSERT_EQ(events.size(), 1u);
    const EventSeen& event = events[0];
    EXPECT_EQ(event.type, outcome.type);
    EXPECT_EQ(event.id, outcome.id);
    // Whose run it was: the event's user is the account that ran it.
    EXPECT_TRUE(event.userSid == Utf8(ReadCurrentAccount().sid) ||
                conformance::WineOnly(event.userSidGiven,
                                      "Wine's trace shows only the pointer of an event's user SID"))
        << event.userSid;
    EXPECT_EQ(event.text.substr(0, event.text.find("\r\n")), outcome.firstLine) << event.text;
    // One line a string, whatever the values hold.
    EXPECT_EQ(LineCount(event.text), kStringsOfId.at(outcome.id)) << event.text;
    if (outcome.captionLine) {
        EXPECT_EQ(EventLine(event, "Caption"), outcome.captionLine);
    }
    EXPECT_EQ(EventLine(event, "Part"), outcome.part);
    EXPECT_EQ(EventLine(event, "Request number"), outcome.requestLine);
    EXPECT_EQ(EventLine(event, "Version"), "8.00.0034");
    EXPECT_NE(EventLine(event, "Run length"), "");
    if (outcome.id == 1100) {
        EXPECT_EQ(EventLine(event, "Member being called"), kMemberOfCrash.at(outcome.name));
        EXPECT_EQ(EventLine(event, "Faulting module").rfind("BrevantoStandin.dll at offset 0x", 0),
                  0u)
            << EventLine(event, "Faulting module");
        EXPECT_EQ(Utf8(ProgramDirectory() + L"\\BrevantoStandin.dll"),
                  EventLine(event, "Module path"));
    }
    EXPECT_EQ(event.text.find(kPassword), std::string::npos) << event.text;
    // Under Wine every line the run traced, not only the event's.
    for (const auto& line : run.Trace())
        EXPECT_EQ(line.find(kPassword), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(ApplicationEvent, RunEndsWithOneEvent, testing::ValuesIn(kOutcomes),
                         kRowName);

// The text the exe's message table holds for an id, as stored: FormatMessage under Wine turns a
// bare LF into CR LF, which Windows' does not.
std::wstring StoredMessage(HMODULE module, DWORD id) {
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MESSAGETABLE);
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes)
        return L"";
    const auto* data = reinterpret_cast<const MESSAGE_RESOURCE_DATA*>(bytes);
    for (DWORD b = 0; b < data->NumberOfBlocks; ++b) {
        const MESSAGE_RESOURCE_BLOCK& block = data->Blocks[b];
        if (id < block.LowId || id > block.HighId)
            continue;
        const BYTE* at = bytes + block.OffsetToEntries;
        for (DWORD skipped = block.LowId; skipped < id; ++skipped)
            at += reinterpret_cast<const MESSAGE_RESOURCE_ENTRY*>(at)->Length;
        const auto* entry = reinterpret_cast<const MESSAGE_RESOURCE_ENTRY*>(at);
        constexpr WORD kUnicode = 0x0001;
        if (!(entry->Flags & kUnicode))
            return L"";
        std::wstring text(reinterpret_cast<const wchar_t*>(entry->Text),
                          (entry->Length - offsetof(MESSAGE_RESOURCE_ENTRY, Text)) /
                              sizeof(wchar_t));
        return text.substr(0, text.find(L'\0'));
    }
    return L"";
}

TEST(ApplicationEvent, EveryEventIdHasItsMessageInTheExeOnOneLineEndedByCrLf) {
    const std::wstring exe = ProgramDirectory() + L"\\Brevanto.exe";
    const HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    for (const auto& [id, count] : kStringsOfId) {
        SCOPED_TRACE(id);
        std::vector<std::wstring> strings;
        std::vector<DWORD_PTR> args;
        std::wstring expected;
        std::wstring layout;
        for (std::size_t i = 1; i <= count; ++i) {
            strings.push_back(L"Fact " + std::to_wstring(i));
            layout += L"%" + std::to_wstring(i) + L"%n";
        }
        for (const auto& text : strings) {
            args.push_back(reinterpret_cast<DWORD_PTR>(text.c_str()));
            expected += text + L"\r\n";
        }
        // Each line break a %n, which Event Viewer makes CR LF; the message ends at %0, so that
        // the line end a message compiler writes after it is never shown.
        const std::wstring stored = StoredMessage(module, id);
        EXPECT_EQ(Utf8(stored.substr(0, stored.find(L"%0"))), Utf8(layout));
        EXPECT_NE(stored.find(L"%0"), std::wstring::npos) << Utf8(stored);
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
