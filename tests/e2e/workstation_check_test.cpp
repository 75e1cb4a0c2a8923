#include "tests/e2e/program_test.h"

#include <windows.h>

#include <functional>

#include "platform/program_directory.h"
#include "platform/utf8.h"
#include "tests/support/captured_run.h"
#include "tests/support/environment_variable.h"
#include "tests/support/journal_file.h"
#include "tests/support/standin_library.h"

namespace brevanto::e2e {
namespace {

constexpr bool kIs32Bit = sizeof(void*) == 4;
const std::wstring kPassword = L"Pw-S3cret!";

std::wstring TempFolder() {
    wchar_t path[MAX_PATH];
    std::wstring folder(path, GetTempPathW(MAX_PATH, path));
    if (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

struct CheckRun {
    int status = -1;
    std::wstring output;
    std::vector<JournalCall> journal;
};

// Runs brevanto-check.exe beside the driver as an administrator would, its output to a file.
CheckRun RunCheck(const std::wstring& arguments = L"", const std::wstring& scenario = L"") {
    const support::JournalFile journal;
    const support::ScopedEnvironmentVariable plan(support::kScenarioVariable, scenario);
    const std::wstring exe = ProgramDirectory() + L"\\brevanto-check.exe";
    CheckRun run;
    const auto ended = support::RunCapturingOutput(exe, L"\"" + exe + L"\"" + arguments,
                                                   ProgramDirectory(), 30000);
    if (!ended) {
        ADD_FAILURE() << "brevanto-check.exe did not end";
        return run;
    }
    run.status = static_cast<int>(ended->status);
    run.output = FromUtf8(ended->output);
    run.journal = journal.Read();
    return run;
}

// The stand-ins built for the other architecture, which this check's exe cannot load.
std::wstring OtherArchitectureStandin() {
    return ProgramDirectory() + (kIs32Bit ? L"\\..\\..\\mingw-x64" : L"\\..\\..\\mingw-i686") +
           L"\\bin\\BrevantoStandin.dll";
}

// A run of the check with one setting stored first.
std::function<CheckRun()> CheckWithSetting(std::wstring section, std::wstring key,
                                           std::wstring value) {
    return [=] {
        StoreSetting(section, key, value);
        return RunCheck();
    };
}

struct Workstation {
    const char* name;
    std::function<CheckRun()> check; // sets the fault up around the run
    std::wstring problem;            // the one problem; empty: ready
};

const std::wstring kStoreANumber = L": store a number (ViewMode: 0 view only, else a full report; "
                                   L"chkPrintRPT and chkCRW85Export: 1 on, else off).";

std::wstring Bits(bool is32) {
    return is32 ? L"32-bit" : L"64-bit";
}

const Workstation kWorkstations[] = {
    {"InPlace", [] { return RunCheck(); }, L""},
    {"UserClassMissing",
     [] {
         const ClassesKeyRemoved removed(kUserProgId);
         return RunCheck();
     },
     L"\"ZELTAR_User.clsCurrentUser\" (user component) is not registered: register the " +
         Bits(kIs32Bit) + L" component."},
    {"ViewerClassMissing",
     [] {
         const ClassesKeyRemoved removed(kViewerProgId);
         return RunCheck();
     },
     L"\"velmonic.labresultviewer\" (viewer component) is not registered: register the " +
         Bits(kIs32Bit) + L" component."},
    {"DllGone",
     [] {
         const ServerPathReplaced gone(kViewerClsidKey, TempFolder() + L"\\gone\\viewer.dll");
         return RunCheck();
     },
     L"the server of \"velmonic.labresultviewer\" (viewer component) is missing: " + TempFolder() +
         L"\\gone\\viewer.dll: reinstall the component, or register it where it "
         L"is."},
    {"OtherArchitectureDll",
     [] {
         const ServerPathReplaced other(kUserClsidKey, OtherArchitectureStandin());
         return RunCheck();
     },
     L"\"ZELTAR_User.clsCurrentUser\" (user component) is registered with a " + Bits(!kIs32Bit) +
         L" DLL (" + OtherArchitectureStandin() + L"), which cannot load into the " +
         Bits(kIs32Bit) + L" Brevanto.exe: register the " + Bits(kIs32Bit) + L" component."},
    {"MemberHidden", [] { return RunCheck(L"", L"hide:Viewer.Show_Results"); },
     L"\"velmonic.labresultviewer\" lacks Show_Results, which Brevanto calls: install the version "
     L"of the component Brevanto was built for."},
    {"ViewModeNotANumber", CheckWithSetting(L"Settings", L"ViewMode", L"abc"),
     L"Settings\\ViewMode holds \"abc\": the job would stop in part 7 with \"Brevanto.exe Generate "
     L"Settings\\ViewMode is not a number: \"abc\" Part:7\"" +
         kStoreANumber},
    {"PrintSwitchNotANumber", CheckWithSetting(L"Settings", L"chkPrintRPT", L"yes"),
     L"Settings\\chkPrintRPT holds \"yes\": the job would stop in part 7 with \"Brevanto.exe "
     L"Generate Settings\\chkPrintRPT is not a number: \"yes\" Part:7\"" +
         kStoreANumber},
    {"ExportSwitchNotANumber", CheckWithSetting(L"Settings", L"chkCRW85Export", L"1,0"),
     L"Settings\\chkCRW85Export holds \"1,0\": the job would stop in part 7 with \"Brevanto.exe "
     L"Generate Settings\\chkCRW85Export is not a number: \"1,0\" Part:7\"" +
         kStoreANumber},
    {"WrongRegistryType",
     [] {
         const DWORD zero = 0;
         StoreRawSetting(L"Settings", L"ViewMode", REG_DWORD, &zero, sizeof zero);
         return RunCheck();
     },
     L"Settings\\ViewMode is stored as REG_DWORD, which Brevanto reads as absent, so the job uses "
     L"its default: store it as text (REG_SZ)."},
    {"ExportFolderMissing",
     CheckWithSetting(L"SaveDirectories", L"Convert", L"C:\\no\\such\\folder"),
     L"the export folder C:\\no\\such\\folder does not exist: create it, or store another folder "
     L"in SaveDirectories\\Convert."},
};

class WorkstationCheck : public ProgramTest, public testing::WithParamInterface<Workstation> {
protected:
    // A workstation as a new lab user's is set up, with an export folder that exists.
    void SetUp() override {
        ProgramTest::SetUp();
        support::StoreSampleSettings();
        StoreSetting(L"LogInData", L"Password", kPassword);
        StoreSetting(L"SaveDirectories", L"Convert", TempFolder());
    }
};

TEST_P(WorkstationCheck, NamesEachProblemWithWhatToDoAndCallsNoMember) {
    const Workstation& workstation = GetParam();
    if (workstation.name == std::string("OtherArchitectureDll") &&
        GetFileAttributesW(OtherArchitectureStandin().c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the other architecture's stand-ins are not built here";
    const CheckRun run = workstation.check();
    const std::wstring& report = run.output;
    EXPECT_EQ(run.status, workstation.problem.empty() ? 0 : 1) << Utf8(report);
    if (workstation.problem.empty()) {
        EXPECT_NE(report.find(L"\r\n\r\nready\r\n"), std::wstring::npos) << Utf8(report);
    } else {
        EXPECT_NE(report.find(L"\r\n  1. " + workstation.problem + L"\r\n"), std::wstring::npos)
            << Utf8(report);
        EXPECT_NE(report.find(L"\r\n\r\n1 problem\r\n"), std::wstring::npos) << Utf8(report);
    }
    EXPECT_EQ(report.find(kPassword), std::wstring::npos);
    EXPECT_NE(report.find(L"LogInData\\Password            stored"), std::wstring::npos);

    // The components saw their objects made and released, and nothing else. The DLL's own
    // detach line is no component call.
    for (const auto& call : run.journal)
        EXPECT_TRUE(call.kind == "create" || call.kind == "destroy" || support::IsModuleLine(call))
            << call.Text();
    EXPECT_TRUE(EveryObjectReleased(run.journal));
}

INSTANTIATE_TEST_SUITE_P(Check, WorkstationCheck, testing::ValuesIn(kWorkstations), kRowName);

TEST_F(ProgramTest, CheckGivesTheSameFactsAsJson) {
    support::StoreSampleSettings();
    StoreSetting(L"LogInData", L"Password", kPassword);
    StoreSetting(L"SaveDirectories", L"Convert", L"C:\\no\\such\\folder");
    const CheckRun run = RunCheck(L" --json", L"hide:User.LoginUser");
    EXPECT_EQ(run.status, 1);
    const std::wstring& json = run.output;
    EXPECT_EQ(json.front(), L'{');
    EXPECT_EQ(json.substr(json.size() - 2), L"}\n");
    EXPECT_EQ(json.find(kPassword), std::wstring::npos);
    for (const wchar_t* fact :
         {L"\"ready\":false", L"\"membersCalled\":false", L"\"membersMissing\":[\"LoginUser\"]",
          L"\"path\":\"C:\\\\no\\\\such\\\\folder\",\"exists\":false",
          L"{\"section\":\"LogInData\",\"key\":\"Password\",\"stored\":true,\"wrongType\":\"\","
          L"\"secret\":true}",
          L"\"bits\":"})
        EXPECT_NE(json.find(fact), std::wstring::npos) << Utf8(fact) << "\n" << Utf8(json);
    // Two problems, as the text report counts them.
    std::size_t problems = 0;
    for (std::size_t at = 0; (at = json.find(L"{\"what\":", at)) != std::wstring::npos; ++at)
        ++problems;
    EXPECT_EQ(problems, 2u);
}

TEST_F(ProgramTest, CheckRefusesAnUnknownArgument) {
    EXPECT_EQ(RunCheck(L" --fix").status, 2);
}

} // namespace
} // namespace brevanto::e2e
