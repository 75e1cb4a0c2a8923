#include <gtest/gtest.h>

#include "check/core/judgement.h"
#include "check/core/report_output.h"
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
        {"registered for this user only",
         [](auto& f) { f.classes[0].origin = check::ClassOrigin::UserOnly; }, L""},
        {"this user's registration over the machine's",
         [](auto& f) {
             f.classes[0].origin = check::ClassOrigin::UserOverMachine;
             f.classes[0].machineServerPath = L"C:\\Machine\\user.dll";
             f.classes[0].userServerPath = L"C:\\Lab\\user.dll";
         },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) is registered for this user "
         L"(HKEY_CURRENT_USER\\Software\\Classes) over the machine's registration: Brevanto would "
         L"load C:\\Lab\\user.dll, not the machine's C:\\Machine\\user.dll"},
        {"served by another DLL than the registered one",
         [](auto& f) { f.classes[0].servedBy = L"C:\\Other\\user.dll"; }, L""},
        // Shown the machine's class, elevated, while the lab user's Brevanto.exe loads its own.
        {"this user's registration over the machine's, seen elevated",
         [](auto& f) {
             f.account.elevated = true;
             f.classes[0].machineClassesOnly = true;
             f.classes[0].origin = check::ClassOrigin::UserOverMachine;
             f.classes[0].serverPath = L"C:\\Machine\\user.dll";
             f.classes[0].machineServerPath = L"C:\\Machine\\user.dll";
             f.classes[0].userServerPath = L"C:\\Users\\lab\\user.dll";
         },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) is registered for this user "
         L"(HKEY_CURRENT_USER\\Software\\Classes) over the machine's registration: Brevanto would "
         L"load C:\\Users\\lab\\user.dll, not the machine's C:\\Machine\\user.dll"},
        {"not created from a folder others can change, registration still judged",
         [](auto& f) {
             f.classes[0].creationTried = false, f.classes[0].created = false;
             f.classes[0].notTriedBecause = L"non-administrators can change C:\\Lab";
             f.classes[0].fileBits = 64;
         },
         L"\"ZELTAR_User.clsCurrentUser\" (user component) is registered with a 64-bit DLL "
         L"(C:\\Lab\\user.dll), which cannot load into the 32-bit Brevanto.exe"},
        {"not created as a service account, registration still judged",
         [](auto& f) {
             f.account.serviceAccount = true;
             f.classes[0].creationTried = false, f.classes[0].created = false;
             f.classes[0].fileExists = false;
         },
         L"the server of \"ZELTAR_User.clsCurrentUser\" (user component) is missing: "
         L"C:\\Lab\\user.dll"},
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
        // A service account is a problem of its own, named first.
        const auto& problem = judgement.problems.back();
        ASSERT_EQ(judgement.problems.size(), facts.account.serviceAccount ? 2u : 1u);
        EXPECT_EQ(problem.what, c.what);
        EXPECT_FALSE(problem.todo.empty());
    }
}

TEST(WorkstationCheck, TheClassesOriginAndTheServingModuleAreReported) {
    WorkstationFacts facts = ReadyWorkstation();
    facts.classes[0].origin = check::ClassOrigin::UserOverMachine;
    facts.classes[0].machineServerPath = L"C:\\Machine\\user.dll";
    facts.classes[0].userServerPath = L"C:\\Lab\\user.dll";
    facts.classes[0].treatAs = L"{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C09}";
    facts.classes[0].servedBy = L"C:\\Other\\user.dll";
    facts.host.underWine = true;
    const auto judgement = check::Judge(facts);
    const std::wstring text = check::TextReport(facts, judgement);
    for (const wchar_t* row :
         {L"  Registered                    for this user (HKEY_CURRENT_USER\\\\Software\\\\"
          L"Classes), over the machine's registration of C:\\\\Machine\\\\user.dll\r\n",
          L"  Treated as                    {B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C09}\r\n",
          L"  Served by                     C:\\\\Other\\\\user.dll, not the registered DLL\r\n",
          L"  - \"ZELTAR_User.clsCurrentUser\" was served by C:\\\\Other\\\\user.dll, not by "
          L"the registered C:\\\\Lab\\\\user.dll.\r\n"})
        EXPECT_NE(text.find(row), std::wstring::npos) << Narrow(row) << "\n" << Narrow(text);
    EXPECT_EQ(text.find(L"Wine"), std::wstring::npos) << Narrow(text);
    const std::string json = check::JsonReport(facts, judgement);
    EXPECT_NE(
        json.find(
            R"("registeredFor":"userOverMachine","machineServerPath":"C:\\Machine\\user.dll",)"
            R"("treatAs":"{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C09}")"),
        std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("servedBy":"C:\\Other\\user.dll")"), std::string::npos) << json;

    EXPECT_NE(json.find(R"("userServerPath":"C:\\Lab\\user.dll","machineClassesOnly":false,)"),
              std::string::npos)
        << json;

    // The same file under another case is the registered one.
    facts.classes[0].servedBy = L"c:\\LAB\\USER.DLL";
    EXPECT_EQ(check::TextReport(facts, check::Judge(facts)).find(L"Served by"), std::wstring::npos);

    // Elevated, COM reads the machine's classes only, and the check shows what it created.
    facts.account.elevated = true;
    facts.classes[0].machineClassesOnly = true;
    facts.classes[0].serverPath = L"C:\\Machine\\user.dll";
    facts.classes[0].servedBy = L"C:\\Machine\\user.dll";
    const auto elevated = check::Judge(facts);
    const std::wstring elevatedText = check::TextReport(facts, elevated);
    for (const wchar_t* row :
         {L"  Registered                    for this user (HKEY_CURRENT_USER\\\\Software\\\\"
          L"Classes), over the machine's registration of C:\\\\Machine\\\\user.dll; this "
          L"elevated check shows the machine's\r\n",
          L"  Server                        InprocServer32 C:\\\\Machine\\\\user.dll\r\n",
          L"COM ignores the classes registered for the user "
          L"(HKEY_CURRENT_USER\\\\Software\\\\Classes) in an elevated process, so each class "
          L"shown is the machine's registration"})
        EXPECT_NE(elevatedText.find(row), std::wstring::npos) << Narrow(row) << "\n"
                                                              << Narrow(elevatedText);
    EXPECT_NE(check::JsonReport(facts, elevated).find(R"("machineClassesOnly":true)"),
              std::string::npos);
}

// The module holding an object's IDispatch table is the registered DLL only when the object is
// made in the creating thread's apartment from that DLL: not a proxy, not .NET's wrapper.
TEST(WorkstationCheck, TheServingModuleCountsOnlyForAnObjectMadeInItsCreatorsApartment) {
    struct Case {
        const char* name;
        std::wstring serverKind, serverPath, threadingModel;
        bool inItsCreatorsApartment;
    };
    const Case cases[] = {
        {"Apartment", L"InprocServer32", L"C:\\Lab\\user.dll", L"Apartment", true},
        {"Both, in any case", L"InprocServer32", L"C:\\Lab\\user.dll", L"both", true},
        {"no threading model: the main apartment", L"InprocServer32", L"C:\\Lab\\user.dll", L"",
         true},
        {"Free: the multithreaded apartment, reached through a proxy", L"InprocServer32",
         L"C:\\Lab\\user.dll", L"Free", false},
        {"Neutral: reached through a proxy", L"InprocServer32", L"C:\\Lab\\user.dll", L"Neutral",
         false},
        {"a .NET class", L"InprocServer32", L"C:\\Windows\\System32\\MSCOREE.DLL", L"Both", false},
        {"a .NET class by its bare name", L"InprocServer32", L"mscoree.dll", L"Both", false},
        {"a DLL merely named like it", L"InprocServer32", L"C:\\Lab\\xmscoree.dll", L"Both", true},
        {"a local server", L"LocalServer32", L"C:\\Lab\\user.exe", L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        check::ClassFacts facts = ReadyClass();
        facts.serverKind = c.serverKind;
        facts.serverPath = c.serverPath;
        facts.threadingModel = c.threadingModel;
        EXPECT_EQ(check::ServedInItsCreatorsApartment(facts), c.inItsCreatorsApartment);
        facts.servedBy = L"C:\\Windows\\System32\\combase.dll";
        EXPECT_EQ(check::ServedByAnotherModule(facts), c.inItsCreatorsApartment);
    }
}

TEST(WorkstationCheck, AnExportFolderUnderProgramFilesNamesTheVirtualStore) {
    const std::wstring store =
        L"C:\\Users\\lab\\AppData\\Local\\VirtualStore\\Program Files (x86)\\Lab\\PDF";
    const std::wstring refused =
        L"; a run without an interactive logon (a scheduled task run whether the user is logged on "
        L"or not) is refused there instead: for scheduled tasks, store a folder this user can "
        L"write to in SaveDirectories\\Convert";
    struct Case {
        const char* name;
        int bits;
        bool exists, writable, elevated, storeExists;
        std::wstring problem; // the one problem; empty: none
        std::wstring note;    // the one note; empty: none
    };
    const Case cases[] = {
        {"cannot write, redirected", 32, true, false, false, false, L"",
         L"this user cannot write to the export folder C:\\Program Files (x86)\\Lab\\PDF under "
         L"Program Files: in an interactive logon, Windows redirects the exports of a 32-bit "
         L"Brevanto.exe to this user's VirtualStore folder " +
             store + L" (it does not exist yet)" + refused},
        {"cannot write, VirtualStore there", 32, true, false, false, true, L"",
         L"this user cannot write to the export folder C:\\Program Files (x86)\\Lab\\PDF under "
         L"Program Files: in an interactive logon, Windows redirects the exports of a 32-bit "
         L"Brevanto.exe to this user's VirtualStore folder " +
             store + L" (it exists)" + refused},
        {"only in the VirtualStore", 32, false, false, false, true, L"",
         L"the export folder C:\\Program Files (x86)\\Lab\\PDF under Program Files exists only "
         L"in this user's VirtualStore: in an interactive logon, Windows redirects the exports of "
         L"a "
         L"32-bit Brevanto.exe to this user's VirtualStore folder " +
             store + L" (it exists)" + refused},
        {"nowhere", 32, false, false, false, false,
         L"the export folder C:\\Program Files (x86)\\Lab\\PDF does not exist", L""},
        {"elevated check", 32, true, true, true, false, L"",
         L"the export folder C:\\Program Files (x86)\\Lab\\PDF is under Program Files, and this "
         L"elevated check cannot tell whether the lab user may write to it; if not, in an "
         L"interactive logon, Windows redirects the exports of a 32-bit Brevanto.exe to this "
         L"user's VirtualStore folder " +
             store + L" (it does not exist yet)" + refused},
        {"writable for this user", 32, true, true, false, false, L"", L""},
        {"the 64-bit exe is never redirected", 64, true, false, false, false,
         L"this user cannot write to the export folder C:\\Program Files (x86)\\Lab\\PDF", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkstationFacts facts = ReadyWorkstation();
        facts.host.bits = c.bits;
        facts.classes[0].fileBits = c.bits;
        facts.exportFolder = {L"C:\\Program Files (x86)\\Lab\\PDF",
                              c.exists,
                              c.writable,
                              true,
                              c.elevated,
                              store,
                              c.storeExists};
        const auto judgement = check::Judge(facts);
        ASSERT_EQ(judgement.problems.size(), c.problem.empty() ? 0u : 1u);
        if (!c.problem.empty()) {
            EXPECT_EQ(judgement.problems[0].what, c.problem);
            if (c.exists) {
                EXPECT_EQ(judgement.problems[0].todo,
                          L"give this user write access to it, or store another folder in "
                          L"SaveDirectories\\Convert");
            }
        }
        ASSERT_EQ(judgement.notes.size(), c.note.empty() ? 0u : 1u);
        if (!c.note.empty()) {
            EXPECT_EQ(judgement.notes[0], c.note);
        }
        const std::wstring text = check::TextReport(facts, judgement);
        EXPECT_EQ(
            text.find(L"  VirtualStore                  C:\\\\Users\\\\lab\\\\AppData\\\\Local\\\\"
                      L"VirtualStore\\\\Program Files (x86)\\\\Lab\\\\PDF\r\n") !=
                std::wstring::npos,
            c.bits == 32)
            << Narrow(text);
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
        EXPECT_EQ(job.stopCaption, c.caption);

        WorkstationFacts facts = ReadyWorkstation();
        facts.job = job;
        EXPECT_EQ(check::Judge(facts).problems.size(), c.stops ? 1u : 0u);
    }
}

TEST(WorkstationCheck, ReportsNeverShowThePasswordAndEndWithTheVerdict) {
    WorkstationFacts facts = ReadyWorkstation();
    const std::wstring ready = check::TextReport(facts, check::Judge(facts));
    EXPECT_EQ(ready.find(L"Pw-S3cret!"), std::wstring::npos);
    EXPECT_NE(ready.find(L"LogInData\\\\Password"), std::wstring::npos);
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
    EXPECT_NE(json.find(R"("programFolder":"C:\\\"Lab\"\n\u0001\u00e9\ud83d\ude00")"),
              std::string::npos)
        << json;
}

} // namespace
} // namespace brevanto::testing
