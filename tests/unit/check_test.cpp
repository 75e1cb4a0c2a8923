#include <gtest/gtest.h>

#include "check/judgement.h"
#include "check/report_output.h"
#include "tests/unit/check_facts.h"

namespace brevanto::testing {
namespace {

using check::WorkstationFacts;

TEST(WorkstationCheck, EachFindingNamesWhatIsWrongAndWhatToDo) {
    struct Case {
        const char* name;
        std::function<void(WorkstationFacts&)> change;
        std::wstring what; // the one problem's text; empty: ready
    };
    const Case cases[] = {
        {"everything in place", [](auto&) {}, L""},
        {"class missing", [](auto& f) { f.classes[0].clsid.clear(), f.classes[0].created = false; },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) is not registered"},
        {"no server key", [](auto& f) { f.classes[0].serverKind.clear(); },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) has the class "
         L"{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C01} but no InprocServer32 or LocalServer32"},
        {"DLL gone", [](auto& f) { f.classes[0].fileExists = false, f.classes[0].created = false; },
         L"the server of \"ZELTAR_User.clsCurrentUser\" (user component) is missing: "
         L"C:\\Lab\\user.dll"},
        {"64-bit DLL for the 32-bit exe", [](auto& f) { f.classes[0].fileBits = 64; },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) is registered with a 64-bit DLL "
         L"(C:\\Lab\\user.dll), which cannot load into the 32-bit Brevanto.exe"},
        {"64-bit DLL for the 64-bit exe",
         [](auto& f) { f.host.bits = 64, f.classes[0].fileBits = 64; }, L""},
        {"a local server's bitness does not matter",
         [](auto& f) { f.classes[0].serverKind = L"LocalServer32", f.classes[0].fileBits = 64; },
         L""},
        {"cannot create",
         [](auto& f) { f.classes[0].created = false, f.classes[0].createError = L"Failed (0x1)"; },
         L"Brevanto cannot create \"ZELTAR_User.clsCurrentUser\": Failed (0x1)"},
        {"member missing", [](auto& f) { f.classes[0].membersMissing = {L"LoginUser"}; },
         L"\"ZELTAR_User.clsCurrentUser\" lacks LoginUser, which Brevanto calls"},
        {"wrong registry type", [](auto& f) { f.settings[5].wrongType = L"REG_DWORD"; },
         L"Settings\\ViewMode is stored as REG_DWORD, which Brevanto reads as absent, so the job "
         L"uses its default"},
        {"export folder missing", [](auto& f) { f.exportFolder.exists = false; },
         L"the export folder C:\\Lab\\PDF does not exist"},
        {"export folder not writable", [](auto& f) { f.exportFolder.writable = false; },
         L"this user cannot write to the export folder C:\\Lab\\PDF"},
        // The 32-bit exe asks for no execution level: Windows redirects the writes.
        {"virtualised under Program Files",
         [](auto& f) { f.exportFolder.writable = false, f.exportFolder.underProgramFiles = true; },
         L""},
        {"not virtualised for the 64-bit exe",
         [](auto& f) {
             f.host.bits = 64, f.classes[0].fileBits = 64, f.exportFolder.writable = false,
             f.exportFolder.underProgramFiles = true;
         },
         L"this user cannot write to the export folder C:\\Lab\\PDF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkstationFacts facts = ReadyWorkstation();
        c.change(facts);
        const auto judgement = check::Judge(facts);
        if (c.what.empty()) {
            EXPECT_TRUE(judgement.Ready());
            continue;
        }
        ASSERT_EQ(judgement.problems.size(), 1u);
        EXPECT_EQ(Narrow(judgement.problems[0].what), Narrow(c.what));
        EXPECT_FALSE(judgement.problems[0].todo.empty());
    }
}

TEST(WorkstationCheck, NumericSettingsTakeTheJobsBranchOrItsPart7Error) {
    struct Case {
        const char* name;
        std::wstring viewMode, print, exportSwitch;
        bool stops, viewOnly, printOn, exportOn;
        std::wstring caption;
    };
    const Case cases[] = {
        {"defaults", L"", L"", L"", false, false, true, true, L""},
        {"view only", L"0", L"abc", L"abc", false, true, false, false, L""},
        {"switches off", L"1", L"0", L"2", false, false, false, false, L""},
        {"bad view mode", L"abc", L"1", L"1", true, false, false, false,
         L"Brevanto.exe Generate Settings\\ViewMode is not a number: \"abc\" Part:7"},
        {"bad print switch", L"1", L"x", L"1", true, false, false, false,
         L"Brevanto.exe Generate Settings\\chkPrintRPT is not a number: \"x\" Part:7"},
        {"bad export switch", L"2", L"1", L"1,0", true, false, true, false,
         L"Brevanto.exe Generate Settings\\chkCRW85Export is not a number: \"1,0\" Part:7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStore store;
        if (!c.viewMode.empty())
            store.Set(L"Settings", L"ViewMode", c.viewMode);
        if (!c.print.empty())
            store.Set(L"Settings", L"chkPrintRPT", c.print);
        if (!c.exportSwitch.empty())
            store.Set(L"Settings", L"chkCRW85Export", c.exportSwitch);
        const auto job = check::ReviewJobPath(store);
        EXPECT_EQ(job.stopsInPart7, c.stops);
        EXPECT_EQ(job.viewOnly, c.viewOnly);
        EXPECT_EQ(job.print, c.printOn);
        EXPECT_EQ(job.exportResults, c.exportOn);
        EXPECT_EQ(Narrow(job.stopCaption), Narrow(c.caption));

        WorkstationFacts facts = ReadyWorkstation();
        facts.job = job;
        EXPECT_EQ(check::Judge(facts).problems.size(), c.stops ? 1u : 0u);
    }
}

TEST(WorkstationCheck, ReportsNeverShowThePasswordAndEndWithTheVerdict) {
    WorkstationFacts facts = ReadyWorkstation();
    const std::wstring ready = check::TextReport(facts, check::Judge(facts));
    EXPECT_EQ(ready.find(L"Pw-S3cret!"), std::wstring::npos);
    EXPECT_NE(ready.find(L"LogInData\\Password"), std::wstring::npos);
    EXPECT_EQ(ready.substr(ready.size() - 9), L"\r\nready\r\n");
    const std::string json = check::JsonReport(facts, check::Judge(facts));
    EXPECT_EQ(json.find("Pw-S3cret!"), std::string::npos);
    EXPECT_NE(json.find("\"ready\":true"), std::string::npos);

    facts.exportFolder.exists = false;
    facts.classes[0].membersMissing = {L"LoginUser"};
    const std::wstring twoProblems = check::TextReport(facts, check::Judge(facts));
    EXPECT_EQ(twoProblems.substr(twoProblems.size() - 13), L"\n2 problems\r\n");
}

TEST(WorkstationCheck, JsonEscapesEveryTextItCarries) {
    WorkstationFacts facts = ReadyWorkstation();
    facts.host.programFolder = std::wstring(L"C:\\\"Lab\"\n\x01\xE9\xD83D\xDE00", 13);
    const std::string json = check::JsonReport(facts, check::Judge(facts));
    EXPECT_NE(json.find(R"("programFolder":"C:\\\"Lab\"\n\u0001)"
                        "\xC3\xA9\xF0\x9F\x98\x80\""),
              std::string::npos)
        << json;
}

} // namespace
} // namespace brevanto::testing
