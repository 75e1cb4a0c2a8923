#include <gtest/gtest.h>

#include <functional>

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
         {true, L"C:\\Dumps", 10, 1, true, L"C:\\Lab\\Brevanto.exe", true, true, {}, true, L""},
         L"mini dumps in C:\\\\Dumps, the newest 10 kept",
         L"registered, messages from C:\\\\Lab\\\\Brevanto.exe",
         "\"crashDumps\":{\"configured\":true,\"folder\":\"C:\\\\Dumps\",\"count\":10,"
         "\"type\":\"mini\"},"
         "\"eventSource\":{\"registered\":true,\"messageFile\":\"C:\\\\Lab\\\\Brevanto.exe\"}"},
        {"full dumps",
         {true, L"D:\\Crash \"dumps\"", 2, 2, false, L"", true, true, {}, true, L""},
         L"full dumps in D:\\\\Crash \"dumps\", the newest 2 kept",
         L"not registered: events are still written, without their text in Event Viewer",
         "\"crashDumps\":{\"configured\":true,\"folder\":\"D:\\\\Crash \\\"dumps\\\"\","
         "\"count\":2,\"type\":\"full\"}"},
        {"custom dumps",
         {true, L"C:\\D", 1, 0, true, L"", true, true, {}, true, L""},
         L"custom dumps in C:\\\\D, the newest 1 kept",
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

// Dumps hold what the components held, the password included; Windows' own dialog for a crash
// of a program a component starts waits for a person.
TEST(WorkstationCheck, TheDumpFolderReadersAndTheErrorDialogAreWorthANote) {
    const std::wstring policy =
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Microsoft\\Windows\\Windows Error Reporting";
    struct Case {
        const char* name;
        std::function<void(check::ErrorReportingFacts&)> change;
        std::wstring folderRow; // empty: none
        std::wstring dialogRow;
        std::vector<std::wstring> notes; // a part of each
        std::string json;
    };
    const auto dumps = [](check::ErrorReportingFacts& f) {
        f.dumpsConfigured = true;
        f.dumpFolder = L"C:\\CrashDumps";
        f.dumpCount = 10;
        f.dumpType = 1;
        f.dumpFolderExists = true;
        f.dumpFolderJudged = true;
    };
    const Case cases[] = {
        {"no dumps, the dialog hidden by the machine's setting",
         [](auto&) {},
         L"",
         L"hidden (DontShowUI is 1 in "
         L"HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Microsoft\\\\Windows\\\\Windows "
         L"Error Reporting)",
         {},
         R"("dumpFolder":{"exists":false,"judged":false,"readableByOthers":false,"readers":[]},)"
         R"("errorDialog":{"hidden":true,"dontShowUiSetIn":"HKEY_LOCAL_MACHINE\\SOFTWARE\\)"
         R"(Microsoft\\Windows\\Windows Error Reporting"})"},
        {"a private dump folder", dumps, L"other users cannot read the dumps", L"", {}, ""},
        {"a dump folder users may read",
         [&](check::ErrorReportingFacts& f) {
             dumps(f);
             f.dumpReaders = {L"BUILTIN\\Users (S-1-5-32-545): read the files made in it"};
         },
         L"other users can read the dumps: BUILTIN\\\\Users (S-1-5-32-545): read the files made in "
         L"it",
         L"",
         {L"other users can read the crash dumps in C:\\CrashDumps (BUILTIN\\Users "
          L"(S-1-5-32-545): read the files made in it): a dump holds what the components held, the "
          L"password Brevanto handed them included"},
         R"("dumpFolder":{"exists":true,"judged":true,"readableByOthers":true,"readers":)"
         R"(["BUILTIN\\Users (S-1-5-32-545): read the files made in it"]})"},
        {"a dump folder not made yet",
         [&](check::ErrorReportingFacts& f) {
             dumps(f);
             f.dumpFolderExists = f.dumpFolderJudged = false;
         },
         L"does not exist yet",
         L"",
         {},
         ""},
        {"a dump folder whose permissions could not be read",
         [&](check::ErrorReportingFacts& f) {
             dumps(f);
             f.dumpFolderJudged = false;
         },
         L"its permissions could not be read",
         L"",
         {},
         ""},
        {"the dialog shown: DontShowUI set nowhere",
         [](check::ErrorReportingFacts& f) {
             f.errorDialogHidden = false;
             f.dontShowUiSetIn.clear();
         },
         L"",
         L"shown (DontShowUI is not set)",
         {L"Windows Error Reporting shows a dialog when a program a component starts crashes, and "
          L"that program waits there for a person; on a lab workstation set DontShowUI to 1"},
         R"("errorDialog":{"hidden":false,"dontShowUiSetIn":""})"},
        {"the dialog shown: a policy says 0",
         [&](check::ErrorReportingFacts& f) {
             f.errorDialogHidden = false;
             f.dontShowUiSetIn = policy;
         },
         L"",
         L"shown (DontShowUI is 0 in HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Policies\\\\Microsoft\\\\"
         L"Windows\\\\Windows Error Reporting)",
         {L"on a lab workstation set DontShowUI to 1"},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        check::WorkstationFacts facts = ReadyWorkstation();
        c.change(facts.errorReporting);
        const auto judgement = check::Judge(facts);
        EXPECT_TRUE(judgement.Ready());
        EXPECT_EQ(judgement.notes.size(), c.notes.size());
        for (std::size_t i = 0; i < c.notes.size() && i < judgement.notes.size(); ++i)
            EXPECT_NE(judgement.notes[i].find(c.notes[i]), std::wstring::npos)
                << Narrow(judgement.notes[i]);
        const std::wstring text = check::TextReport(facts, judgement);
        EXPECT_EQ(text.find(L"  Dump folder   ") != std::wstring::npos, !c.folderRow.empty())
            << Narrow(text);
        if (!c.folderRow.empty()) {
            EXPECT_NE(text.find(L"  Dump folder                   " + c.folderRow + L"\r\n"),
                      std::wstring::npos)
                << Narrow(text);
        }
        if (!c.dialogRow.empty()) {
            EXPECT_NE(text.find(L"  Error dialog                  " + c.dialogRow + L"\r\n"),
                      std::wstring::npos)
                << Narrow(text);
        }
        EXPECT_NE(check::JsonReport(facts, judgement).find(c.json), std::string::npos)
            << check::JsonReport(facts, judgement);
    }
}

} // namespace
} // namespace brevanto::testing
