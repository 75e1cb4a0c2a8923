#include <gtest/gtest.h>

#include <functional>

#include "check/core/creation_protocol.h"
#include "check/core/judgement.h"
#include "check/core/outcome_text.h"
#include "check/core/report_output.h"
#include "tests/unit/check_facts.h"

namespace brevanto::testing {
namespace {

using check::ClassFacts;
using check::CreationEvent;
using check::CreationOutcome;
using check::CreationRun;
using check::CreationStep;
using check::WorkstationFacts;

constexpr std::uint32_t kAccessViolation = 0xC0000005;
constexpr std::uint32_t kStackOverflow = 0xC00000FD;
constexpr std::uint32_t kEndedAtLimit = 1;

// What a creation process writes when every step comes back.
std::wstring FullRun(const std::wstring& lookUps) {
    return L"create\ncreated\n" + lookUps + L"release\nreleased\n";
}

// The facts a run gives, in one line: outcome, whether created, the error, the missing members,
// and for a run that stopped, where and with what code.
std::string Summary(const ClassFacts& f) {
    const char* outcomes[] = {"finished", "crashed", "no answer"};
    std::string text = outcomes[static_cast<int>(f.outcome)];
    text += f.created ? ", created" : ", not created";
    if (!f.createError.empty())
        text += ", error \"" + Narrow(f.createError) + "\"";
    for (const auto& member : f.membersMissing)
        text += ", missing " + Narrow(member);
    if (!f.servedBy.empty())
        text += ", served by " + Narrow(f.servedBy);
    if (f.outcome != CreationOutcome::Finished) {
        const char* steps[] = {"create", "lookup", "release"};
        text += std::string(", in ") + steps[static_cast<int>(f.stoppedIn)];
        if (!f.stoppedMember.empty())
            text += " " + Narrow(f.stoppedMember);
    }
    if (f.crashCode)
        text += ", code " + Narrow(check::HexCode(f.crashCode));
    return text;
}

TEST(CreationProtocol, EachRunTellsHowFarTheProcessCame) {
    struct Case {
        const char* name;
        CreationRun run;
        std::string facts;
    };
    const Case cases[] = {
        {"every step came back",
         {FullRun(L"lookup SetExePath\nresolves SetExePath\nlookup LoginUser\nmissing LoginUser\n"),
          false, 0},
         "finished, created, missing LoginUser"},
        {"the object could not be made",
         {L"create\nfailed Cannot create object \"x\": Class not registered (0x80040154)\n"
          L"release\nreleased\n",
          false, 0},
         "finished, not created, error \"Cannot create object \"x\": Class not registered "
         "(0x80040154)\""},
        {"crash while being created",
         {L"create\n", false, kAccessViolation},
         "crashed, not created, in create, code 0xC0000005"},
        {"crash before the first line",
         {L"", false, kAccessViolation},
         "crashed, not created, in create, code 0xC0000005"},
        {"crash in a look-up",
         {L"create\ncreated\nlookup SetExePath\nmissing SetExePath\nlookup LoginUser\n", false,
          kStackOverflow},
         "crashed, created, missing SetExePath, in lookup LoginUser, code 0xC00000FD"},
        {"crash on release",
         {L"create\ncreated\nlookup X\nresolves X\nrelease\n", false, 0xE06D7363},
         "crashed, created, in release, code 0xE06D7363"},
        {"ended itself without an exception",
         {L"create\n", false, 3},
         "crashed, not created, in create, code 0x00000003"},
        {"no answer while being created",
         {L"create\n", true, kEndedAtLimit},
         "no answer, not created, in create"},
        {"no answer on release",
         {L"create\ncreated\nrelease\n", true, kEndedAtLimit},
         "no answer, created, in release"},
        // The last line was written just before the time limit ended the process.
        {"ended at the limit after its last line",
         {FullRun(L""), true, kEndedAtLimit},
         "finished, created"},
        {"a component's own output is skipped",
         {L"create\nhello from the component\ncreated\nlookup X\nmissingX\nresolves X\n"
          L"release\nreleased\n",
          false, 0},
         "finished, created"},
        {"the module that served the object",
         {L"create\ncreated\nserved C:\\\\Lab\\\\user.dll\nrelease\nreleased\n", false, 0},
         "finished, created, served by C:\\Lab\\user.dll"},
        {"lines ending in CR LF",
         {L"create\r\ncreated\r\nrelease\r\nreleased\r\n", false, 0},
         "finished, created"},
        {"an escaped description",
         {L"create\nfailed one \\\\ back\\r\\nline two\nrelease\nreleased\n", false, 0},
         "finished, not created, error \"one \\ back\r\nline two\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClassFacts facts = ReadyClass();
        facts.membersMissing = {L"left over"};
        check::ReadCreationRun(c.run, facts);
        EXPECT_EQ(Summary(facts), c.facts);
    }
}

TEST(CreationProtocol, LinesCarryAnyTextBack) {
    const std::wstring description = L"line one\r\nline two \\ \\n \xE9\x263A";
    const std::wstring line = check::CreationLine(CreationEvent::Failed, description);
    EXPECT_EQ(line.find(L'\r'), std::wstring::npos);
    EXPECT_EQ(line.find(L'\n'), line.size() - 1);
    ClassFacts facts = ReadyClass();
    check::ReadCreationRun({check::CreationLine(CreationEvent::Create) + line +
                                check::CreationLine(CreationEvent::Release) +
                                check::CreationLine(CreationEvent::Released),
                            false, 0},
                           facts);
    EXPECT_FALSE(facts.created);
    EXPECT_EQ(facts.createError, description);
    EXPECT_EQ(check::CreationLine(CreationEvent::LookUp, L"Show_Results"),
              L"lookup Show_Results\n");
    EXPECT_EQ(check::CreationLine(CreationEvent::Released), L"released\n");
}

TEST(CreationOutcomeText, CodesAreGivenInHexWithTheirNames) {
    const std::pair<std::uint32_t, std::wstring> cases[] = {
        {0xC0000005, L"crashed with exception 0xC0000005 (access violation)"},
        {0xC00000FD, L"crashed with exception 0xC00000FD (stack overflow)"},
        {0xE06D7363, L"crashed with exception 0xE06D7363 (C++ exception not caught)"},
        {0xC0000409, L"crashed with exception 0xC0000409 (fail-fast exit: abort, std::terminate "
                     L"or a stack buffer overrun)"},
        {0xC0001234, L"crashed with exception 0xC0001234"},
        {0x8000000A, L"crashed with exception 0x8000000A"},
        {3, L"ended its process with exit status 3"},
        {0, L"ended its process with exit status 0"},
    };
    for (const auto& [code, text] : cases) {
        SCOPED_TRACE(code);
        EXPECT_EQ(check::CrashDescription(code), text);
    }
    EXPECT_EQ(check::Duration(10000), L"10 s");
    EXPECT_EQ(check::Duration(2500), L"2500 ms");
}

// The report's row, as it is written.
std::wstring Row(const std::wstring& label, const std::wstring& value) {
    return L"\r\n  " + label + std::wstring(30 - label.size(), L' ') + value + L"\r\n";
}

TEST(WorkstationCheck, ACrashOrAHangOfTheCreationIsAProblemWithWhatToDo) {
    struct Case {
        const char* name;
        std::function<void(ClassFacts&)> change;
        std::wstring problem; // the one problem's text
        std::wstring todoStart;
        std::wstring createdRow;
        std::wstring membersRow; // empty: no Members row
        std::string json;        // the class's creation fields
    };
    const std::wstring crashTodo = L"Brevanto.exe would end there too, with exit status ";
    const std::wstring hangTodo = L"unattended, Brevanto.exe would wait there until its exit timer";
    const std::wstring mayBe = L", and may be showing a window that nobody can see or answer, or "
                               L"waiting for something";
    const Case cases[] = {
        {"access violation while being created",
         [](auto& c) {
             c.outcome = CreationOutcome::Crashed;
             c.crashCode = kAccessViolation;
             c.created = false;
         },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) crashed with exception 0xC0000005 "
         L"(access violation) while it was being created",
         crashTodo + L"0xC0000005 and no report",
         L"no: crashed with exception 0xC0000005 (access violation)", L"",
         R"("creation":"crashed","crashCode":"0xC0000005","stoppedAt":"create","stoppedAtMember":"")"},
        {"stack overflow in a look-up",
         [](auto& c) {
             c.outcome = CreationOutcome::Crashed;
             c.crashCode = kStackOverflow;
             c.stoppedIn = CreationStep::LookUp;
             c.stoppedMember = L"LoginUser";
         },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) crashed with exception 0xC00000FD "
         L"(stack overflow) while its member LoginUser was being looked up",
         crashTodo + L"0xC00000FD", L"yes",
         L"looking up LoginUser, it crashed with exception 0xC00000FD (stack overflow)",
         R"("creation":"crashed","crashCode":"0xC00000FD","stoppedAt":"lookup","stoppedAtMember":"LoginUser")"},
        {"crash on release",
         [](auto& c) {
             c.outcome = CreationOutcome::Crashed;
             c.crashCode = 0xE06D7363;
             c.stoppedIn = CreationStep::Release;
         },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) crashed with exception 0xE06D7363 (C++ "
         L"exception not caught) while it was being released",
         crashTodo + L"0xE06D7363",
         L"yes; on release it crashed with exception 0xE06D7363 (C++ exception not caught)",
         L"SetExePath, LoginUser: all resolve",
         R"("creation":"crashed","crashCode":"0xE06D7363","stoppedAt":"release","stoppedAtMember":"")"},
        {"no answer while being created",
         [](auto& c) {
             c.outcome = CreationOutcome::NoAnswer;
             c.created = false;
         },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) did not return within 10 s while it "
         L"was being created" +
             mayBe,
         hangTodo, L"no: did not return within 10 s", L"",
         R"("creation":"noAnswer","crashCode":"","stoppedAt":"create","stoppedAtMember":"")"},
        {"no answer in a look-up",
         [](auto& c) {
             c.outcome = CreationOutcome::NoAnswer;
             c.stoppedIn = CreationStep::LookUp;
             c.stoppedMember = L"SetExePath";
         },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) did not return within 10 s while its "
         L"member SetExePath was being looked up" +
             mayBe,
         hangTodo, L"yes", L"looking up SetExePath, it did not return within 10 s",
         R"("creation":"noAnswer","crashCode":"","stoppedAt":"lookup","stoppedAtMember":"SetExePath")"},
        {"no answer as OLE ended after a failed creation",
         [](auto& c) {
             c.outcome = CreationOutcome::NoAnswer;
             c.stoppedIn = CreationStep::Release;
             c.created = false;
             c.createError = L"Failed (0x1)";
         },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) did not return within 10 s while OLE "
         L"was being ended after the failed creation" +
             mayBe,
         hangTodo, L"no: Failed (0x1); then, as OLE was ended, it did not return within 10 s", L"",
         R"("creation":"noAnswer","crashCode":"","stoppedAt":"release","stoppedAtMember":"")"},
        // The registration explains a creation that went wrong.
        {"not registered, and the process ended oddly",
         [](auto& c) {
             c.clsid.clear();
             c.outcome = CreationOutcome::Crashed;
             c.crashCode = 3;
             c.created = false;
         },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) is not registered", L"register the", L"",
         L"",
         R"("creation":"crashed","crashCode":"0x00000003","stoppedAt":"create","stoppedAtMember":"")"},
        {"created and released", [](auto&) {}, L"", L"", L"yes, then released",
         L"SetExePath, LoginUser: all resolve",
         R"("creation":"created","crashCode":"","stoppedAt":"","stoppedAtMember":"")"},
        {"could not be made",
         [](auto& c) {
             c.created = false;
             c.createError = L"Failed (0x1)";
         },
         L"Brevanto cannot create \"ZELTAR_User.clsCurrentUser\": Failed (0x1)",
         L"repair the component's installation", L"no: Failed (0x1)", L"",
         R"("creation":"failed","crashCode":"","stoppedAt":"","stoppedAtMember":"")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkstationFacts facts = ReadyWorkstation();
        c.change(facts.classes[0]);
        const auto judgement = check::Judge(facts);
        if (c.problem.empty()) {
            EXPECT_TRUE(judgement.Ready());
        } else {
            ASSERT_EQ(judgement.problems.size(), 1u);
            EXPECT_EQ(judgement.problems[0].what, c.problem);
            EXPECT_EQ(judgement.problems[0].todo.substr(0, c.todoStart.size()), c.todoStart);
        }

        // The rest of the report is there as always.
        const std::wstring report = check::TextReport(facts, judgement);
        if (!c.createdRow.empty()) {
            EXPECT_NE(report.find(Row(L"Created", c.createdRow)), std::wstring::npos)
                << Narrow(report);
        }
        if (c.membersRow.empty())
            EXPECT_EQ(report.find(L"\r\n  Members "), std::wstring::npos) << Narrow(report);
        else
            EXPECT_NE(report.find(Row(L"Members", c.membersRow)), std::wstring::npos)
                << Narrow(report);
        for (const wchar_t* section : {L"\r\nSettings (", L"\r\nExport folder\r\n"})
            EXPECT_NE(report.find(section), std::wstring::npos) << Narrow(section);
        EXPECT_NE(report.find(L"Each class is created in a process of its own, which is given "
                              L"10 s."),
                  std::wstring::npos);
        if (!c.problem.empty()) {
            EXPECT_NE(report.find(L"\r\n  1. " + c.problem + L": " + c.todoStart),
                      std::wstring::npos)
                << Narrow(report);
        }

        const std::string json = check::JsonReport(facts, judgement);
        EXPECT_NE(json.find(c.json), std::string::npos) << json;
        EXPECT_NE(json.find("\"creationTimeLimitMs\":10000"), std::string::npos);
        EXPECT_EQ(json.find("Pw-S3cret!"), std::string::npos);
    }
}

} // namespace
} // namespace brevanto::testing
