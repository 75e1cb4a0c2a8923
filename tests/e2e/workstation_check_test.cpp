#include "tests/e2e/check_run.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <ostream>

#include "platform/base/program_directory.h"
#include "platform/base/utf8.h"
#include "tests/support/clock.h"
#include "tests/support/standin_library.h"

namespace brevanto::e2e {
namespace {

constexpr bool kIs32Bit = sizeof(void*) == 4;
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
     L"the server of \"velmonic.labresultviewer\" (viewer component) is missing: " +
         Shown(TempFolder()) +
         L"\\\\gone\\\\viewer.dll: reinstall the component, or register it where it is."},
    {"OtherArchitectureDll",
     [] {
         const ServerPathReplaced other(kUserClsidKey, OtherArchitectureStandin());
         return RunCheck();
     },
     L"\"ZELTAR_User.clsCurrentUser\" (user component) is registered with a " + Bits(!kIs32Bit) +
         L" DLL (" + Shown(OtherArchitectureStandin()) + L"), which cannot load into the " +
         Bits(kIs32Bit) + L" Brevanto.exe: register the " + Bits(kIs32Bit) + L" component."},
    {"MemberHidden", [] { return RunCheck(L"", L"hide:Viewer.Show_Results"); },
     L"\"velmonic.labresultviewer\" lacks Show_Results, which Brevanto calls: install the version "
     L"of the component Brevanto was built for."},
    {"ViewModeNotANumber", CheckWithSetting(L"Settings", L"ViewMode", L"abc"),
     L"Settings\\\\ViewMode holds \"abc\": the job would stop in part 7 with \"Brevanto.exe "
     L"Generate Settings\\\\ViewMode is not a number: \"abc\" Part:7\"" +
         kStoreANumber},
    {"PrintSwitchNotANumber", CheckWithSetting(L"Settings", L"chkPrintRPT", L"yes"),
     L"Settings\\\\chkPrintRPT holds \"yes\": the job would stop in part 7 with \"Brevanto.exe "
     L"Generate Settings\\\\chkPrintRPT is not a number: \"yes\" Part:7\"" +
         kStoreANumber},
    {"ExportSwitchNotANumber", CheckWithSetting(L"Settings", L"chkCRW85Export", L"1,0"),
     L"Settings\\\\chkCRW85Export holds \"1,0\": the job would stop in part 7 with "
     L"\"Brevanto.exe Generate Settings\\\\chkCRW85Export is not a number: \"1,0\" Part:7\"" +
         kStoreANumber},
    {"WrongRegistryType",
     [] {
         const DWORD zero = 0;
         StoreRawSetting(L"Settings", L"ViewMode", REG_DWORD, &zero, sizeof zero);
         return RunCheck();
     },
     L"Settings\\\\ViewMode is stored as REG_DWORD, which Brevanto reads as absent, so the job "
     L"uses "
     L"its default: store it as text (REG_SZ)."},
    {"ExportFolderMissing",
     CheckWithSetting(L"SaveDirectories", L"Convert", L"C:\\no\\such\\folder"),
     L"the export folder C:\\\\no\\\\such\\\\folder does not exist: create it, or store another "
     L"folder in SaveDirectories\\\\Convert."},
};

class WorkstationCheck : public NewLabUser, public testing::WithParamInterface<Workstation> {};

TEST_P(WorkstationCheck, NamesEachProblemWithWhatToDoAndCallsNoMember) {
    const Workstation& workstation = GetParam();
    if (workstation.name == std::string("OtherArchitectureDll") &&
        GetFileAttributesW(OtherArchitectureStandin().c_str()) == INVALID_FILE_ATTRIBUTES)
        BREVANTO_SKIP(runner::kOtherBuildMissingSkip,
                      "the other architecture's stand-ins are not built here");
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
    EXPECT_NE(report.find(Row(L"LogInData\\\\Password", L"stored    (not shown)")),
              std::wstring::npos);

    // The components saw their objects made and released, and nothing else. The DLL's own
    // detach line is no component call.
    for (const auto& call : run.journal)
        EXPECT_TRUE(call.kind == "create" || call.kind == "destroy" || support::IsModuleLine(call))
            << call.Text();
    EXPECT_TRUE(EveryObjectReleased(run.journal));
}

INSTANTIATE_TEST_SUITE_P(Check, WorkstationCheck, testing::ValuesIn(kWorkstations), kRowName);

TEST_F(ProgramTest, CheckGivesTheSameFactsAsJson) {
    if (const std::string why = WhyTheReportCannotBeExpected(); !why.empty())
        BREVANTO_SKIP(runner::kNeedsElevationSkip, why);
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

// The report's section under the heading, to the blank line after it.
std::wstring Section(const std::wstring& report, const std::wstring& heading) {
    const auto start = report.find(L"\r\n\r\n" + heading + L"\r\n");
    if (start == std::wstring::npos)
        return L"(no section " + heading + L")";
    const auto end = report.find(L"\r\n\r\n", start + 4);
    return report.substr(start + 4, end == std::wstring::npos ? end : end + 2 - (start + 4));
}

// The sections of the report that a fault of the viewer's creation leaves as they are, on the
// workstation NewLabUser sets up.
struct UntouchedSection {
    std::wstring heading;
    std::wstring rows;
};
std::vector<UntouchedSection> UntouchedSections() {
    const std::wstring standin = ProgramDirectory() + L"\\BrevantoStandin.dll";
    return {
        {L"User component \"ZELTAR_User.clsCurrentUser\"",
         Row(L"Class", L"{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C01}") +
             Row(L"Registered", L"for the machine") +
             Row(L"Server", L"InprocServer32 " + Shown(standin)) +
             Row(L"File", L"present, " + Bits(kIs32Bit)) + Row(L"Threading model", L"Apartment") +
             Row(L"Created", L"yes, then released") +
             Row(L"Members",
                 L"SetExePath, PasswordDeptCode, LoginUser, ZELTARClasses: all resolve")},
        {L"Settings (HKEY_CURRENT_USER\\\\Software\\\\VB and VBA Program "
         L"Settings\\\\ZELTARPDFCreator)",
         Row(L"LogInData\\\\Username", L"stored    \"labtech\"") +
             Row(L"LogInData\\\\Password", L"stored    (not shown)") +
             Row(L"SaveDirectories\\\\Convert", L"stored    \"" + Shown(TempFolder()) + L"\"") +
             Row(L"Settings\\\\txtReportDLLVersion", L"default   \"1\"") +
             Row(L"ExeParameters\\\\Requestnum",
                 L"stored    \"" + std::wstring(support::kSampleRequestnum) + L"\"") +
             Row(L"Settings\\\\ViewMode", L"stored    \"1\"") +
             Row(L"Settings\\\\PDFPrintMode", L"stored    \"1\"") +
             Row(L"Settings\\\\chkPrintRPT", L"stored    \"1\"") +
             Row(L"Settings\\\\chkCRW85Export", L"stored    \"1\"") +
             Row(L"Part 7 of the job", L"full report; print (loadviewer) yes, export yes")},
        {L"Export folder", Row(L"Path", Shown(TempFolder())) + Row(L"Exists", L"yes") +
                               Row(L"This user can write to it", L"yes")},
    };
}

// The creation process's time limit, and how long a check whose viewer crashes may take: its
// usual half second under Wine, and the crash.
constexpr double kTimeLimitMs = 10000;
constexpr double kCrashedCheckMs = 5000;
// A check whose viewer does not return ends at the limit, with room for the processes' start and
// end under a loaded Wine; GetTickCount64, which the check counts the limit on, may be one clock
// tick (support::ClockTickMs) behind this driver's clock.
constexpr double kUnansweredCheckMs = 15000;
// The wait for a check that may hang: the check before it watched its components never ended.
constexpr DWORD kHangingCheckWaitMs = 25000;

const std::wstring kViewer = L"\"velmonic.labresultviewer\" (viewer component) ";
const std::wstring kCrashTodo = L" while it was being created: Brevanto.exe would end there too, "
                                L"with exit status ";
const std::wstring kRepair = L" and no report; repair or reinstall the component, and give its "
                             L"maker the code.";
const std::wstring kNoAnswer =
    kViewer + L"did not return within 10 s while it was being created, and may be showing a window "
              L"that nobody can see or answer, or waiting for something: unattended, Brevanto.exe "
              L"would wait there until its exit timer ends it after 20 s; run Brevanto.exe once as "
              L"this user at the workstation's screen to see what the component shows or waits "
              L"for, then repair the component or what it waits for.";

// The viewer misbehaves while it is being created.
struct CreationFault {
    const char* name;
    const wchar_t* scenario;
    const char* faultLine;   // the journal line the stand-in writes as the fault acts
    std::wstring createdRow; // the viewer's Created row
    std::wstring problem;    // the one problem
    bool unanswered;         // the check waits the time limit
};

void PrintTo(const CreationFault& fault, std::ostream* out) {
    *out << fault.name;
}

const CreationFault kCreationFaults[] = {
    {"AccessViolation", L"createcrash:Viewer=av", "crash",
     L"no: crashed with exception 0xC0000005 (access violation)",
     kViewer + L"crashed with exception 0xC0000005 (access violation)" + kCrashTodo +
         L"0xC0000005" + kRepair,
     false},
    {"StackOverflow", L"createcrash:Viewer=stack", "crash",
     L"no: crashed with exception 0xC00000FD (stack overflow)",
     kViewer + L"crashed with exception 0xC00000FD (stack overflow)" + kCrashTodo + L"0xC00000FD" +
         kRepair,
     false},
    {"CppException", L"createcrash:Viewer=cpp", "crash",
     L"no: crashed with exception 0xE06D7363 (C++ exception not caught)",
     kViewer + L"crashed with exception 0xE06D7363 (C++ exception not caught)" + kCrashTodo +
         L"0xE06D7363" + kRepair,
     false},
    {"UnansweredBox", L"createbox:Viewer", "box", L"no: did not return within 10 s", kNoAnswer,
     true},
    {"Block", L"createblock:Viewer=60000", "block", L"no: did not return within 10 s", kNoAnswer,
     true},
};

class ViewerCreationFault : public NewLabUser, public testing::WithParamInterface<CreationFault> {};

TEST_P(ViewerCreationFault, IsAProblemAndTheRestOfTheReportIsComplete) {
    const CreationFault& fault = GetParam();
    const CheckRun run = RunCheck(L"", fault.scenario, kHangingCheckWaitMs);
    const std::wstring& report = run.output;
    EXPECT_EQ(run.status, 1) << Utf8(report);
    EXPECT_NE(report.find(L"\r\n  1. " + fault.problem + L"\r\n"), std::wstring::npos)
        << Utf8(report);
    EXPECT_NE(report.find(L"\r\n\r\n1 problem\r\n"), std::wstring::npos) << Utf8(report);
    EXPECT_NE(Section(report, L"Viewer component \"velmonic.labresultviewer\"")
                  .find(Row(L"Created", fault.createdRow)),
              std::wstring::npos)
        << Utf8(report);
    for (const auto& [heading, rows] : UntouchedSections())
        EXPECT_EQ(Utf8(Section(report, heading)), Utf8(heading + L"\r\n" + rows));
    EXPECT_EQ(report.find(kPassword), std::wstring::npos);

    if (fault.unanswered) {
        EXPECT_GE(run.ms, kTimeLimitMs - support::ClockTickMs());
        EXPECT_LT(run.ms, kUnansweredCheckMs);
    } else {
        EXPECT_LT(run.ms, kCrashedCheckMs);
    }

    // The fault did act at the viewer's creation, and no member of either object was called.
    const auto acted = std::count_if(run.journal.begin(), run.journal.end(), [&](const auto& line) {
        return line.kind == fault.faultLine && line.object == "Viewer" &&
               SeenValue(line, "where") == "create";
    });
    std::string journal;
    for (const auto& line : run.journal)
        journal += line.Text() + " @" + std::to_string(line.enterUs) + "\n";
    EXPECT_EQ(acted, 1) << journal << Utf8(report);
    for (const auto& line : run.journal)
        EXPECT_TRUE(line.kind == "create" || line.kind == "destroy" ||
                    line.kind == fault.faultLine || support::IsModuleLine(line))
            << line.Text();
}

INSTANTIATE_TEST_SUITE_P(Check, ViewerCreationFault, testing::ValuesIn(kCreationFaults), kRowName);

TEST_F(NewLabUser, CheckGivesEachCreationsOutcomeAsJson) {
    struct Case {
        const char* name;
        const wchar_t* scenario;
        const wchar_t* viewer; // the viewer's creation fields
    };
    const Case cases[] = {
        {"crash", L"createcrash:Viewer=av",
         LR"("created":false,"createError":"","membersNeeded":[)"
         LR"("zeltarUser","setexportpath","SetDLLVer","Requestnum","AutoPrint","viewmode",)"
         LR"("loadviewer","Export","Show_Results"],"membersMissing":[],"creation":"crashed",)"
         LR"("crashCode":"0xC0000005","stoppedAt":"create","stoppedAtMember":"",)"},
        {"no answer", L"createblock:Viewer=60000",
         LR"("membersMissing":[],"creation":"noAnswer","crashCode":"","stoppedAt":"create",)"
         LR"("stoppedAtMember":"",)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CheckRun run = RunCheck(L" --json", c.scenario, kHangingCheckWaitMs);
        EXPECT_EQ(run.status, 1);
        const std::wstring& json = run.output;
        EXPECT_EQ(json.find(kPassword), std::wstring::npos);
        for (const wchar_t* fact :
             {c.viewer, L"\"creationTimeLimitMs\":10000",
              LR"("membersMissing":[],"creation":"created","crashCode":"","stoppedAt":"",)"
              LR"("stoppedAtMember":"",)",
              L"\"ready\":false"})
            EXPECT_NE(json.find(fact), std::wstring::npos) << Utf8(fact) << "\n" << Utf8(json);
        EXPECT_EQ(json.find(L"{\"what\":", json.find(L"{\"what\":") + 1), std::wstring::npos)
            << "one problem\n"
            << Utf8(json);
    }
}

TEST_F(ProgramTest, CheckRefusesAnUnknownArgument) {
    EXPECT_EQ(RunCheck(L" --fix").status, 2);
}

} // namespace
} // namespace brevanto::e2e
