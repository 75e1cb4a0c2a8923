#include "tests/e2e/program_test.h"

#include <algorithm>

#include "app/window_layout.h"
#include "tests/support/system_message.h"

namespace brevanto::e2e {
namespace {

struct Fault {
    const char* name;
    std::string scenario;
    // The failure caption. For a class its DLL refuses, what comes before the system's message
    // for the HRESULT, and captionEnd what follows the HRESULT.
    std::wstring caption;
    std::string lastCall; // the last call the components see; empty: none at all
    const wchar_t* captionEnd = L"";
    bool refusedClass = false;
};

const std::wstring kPassword = L"Pw-S3cret!";
const std::string kLogin = "User.call LoginUser BSTR:\"\" BSTR:\"Pw-S3cret!\"";

// One run per component call of the job, each failing exactly there.
const Fault kFaults[] = {
    {"UserCreate", "nocreate:User",
     L"Brevanto.exe Generate Cannot create object \"ZELTAR_User.clsCurrentUser\": ", "", L" Part:1",
     true},
    {"SetExePath", "fail:User.SetExePath=SetExePath refused",
     L"Brevanto.exe Generate SetExePath refused Part:1", "User.put SetExePath"},
    {"PasswordDeptCode", "fail:User.PasswordDeptCode=Department code refused",
     L"Brevanto.exe Generate Department code refused Part:2",
     "User.put PasswordDeptCode BSTR:\"\""},
    {"LoginUser", "fail:User.LoginUser=Login refused",
     L"Brevanto.exe Generate Login refused Part:3", kLogin},
    {"ViewerCreate", "nocreate:Viewer",
     L"Brevanto.exe Generate Cannot create object \"velmonic.labresultviewer\": ", kLogin,
     L" Part:4", true},
    {"ZeltarUserPut", "fail:Viewer.zeltarUser=User refused",
     L"Brevanto.exe Generate User refused Part:5", "Viewer.put zeltarUser DISPATCH:User"},
    {"SetExportPath", "fail:Viewer.setexportpath=Export folder refused",
     L"Brevanto.exe Generate Export folder refused Part:6", "Viewer.put setexportpath"},
    {"SetDllVer", "fail:Viewer.SetDLLVer=Library version refused",
     L"Brevanto.exe Generate Library version refused Part:6", "Viewer.put SetDLLVer BSTR:\"1\""},
    {"Requestnum", "fail:Viewer.Requestnum=Request unknown",
     L"Brevanto.exe Generate Request unknown Part:6", "Viewer.put Requestnum BSTR:\"\""},
    {"AutoPrint", "fail:Viewer.AutoPrint=No printer", L"Brevanto.exe Generate No printer Part:6",
     "Viewer.put AutoPrint BOOL:-1"},
    {"ViewModePut", "fail:Viewer.viewmode=View mode refused",
     L"Brevanto.exe Generate View mode refused Part:7", "Viewer.put viewmode BSTR:\"1\""},
    {"ZeltarUserGet", "nonobject:Viewer.zeltarUser",
     L"Brevanto.exe Generate Member \"zeltarUser\" of velmonic.labresultviewer did not give an "
     L"object Part:7",
     "Viewer.get zeltarUser"},
    {"ZeltarClasses", "fail:User.ZELTARClasses=No report classes",
     L"Brevanto.exe Generate No report classes Part:7", "User.get ZELTARClasses"},
    {"PdfPrintMode", "fail:Classes.PDFPrintMode=Print mode refused",
     L"Brevanto.exe Generate Print mode refused Part:7", "Classes.put PDFPrintMode BSTR:\"1\""},
    {"LoadViewer", "fail:Viewer.loadviewer=Viewer cannot load",
     L"Brevanto.exe Generate Viewer cannot load Part:7", "Viewer.put loadviewer BOOL:-1"},
    {"Export", "fail:Viewer.Export=Export refused", L"Brevanto.exe Generate Export refused Part:7",
     "Viewer.put Export BOOL:-1"},
    {"ShowResults", "fail:Viewer.Show_Results=Report engine stopped",
     L"Brevanto.exe Generate Report engine stopped Part:8", "Viewer.call Show_Results"},
    // A window's text ends at its first NUL: the caption would lose the rest and " Part:8".
    {"DescriptionWithNul", "fail:Viewer.Show_Results=Printer\\u0000offline",
     L"Brevanto.exe Generate Printer offline Part:8", "Viewer.call Show_Results"},
};

// The caption of a failure to create a class its DLL refuses. The DLL answers
// CLASS_E_CLASSNOTAVAILABLE, as DllGetClassObject's documentation gives for a class it does not
// support, and CoCreateInstance passes that on.
void ExpectRefusedClassCaption(const std::wstring& caption, const Fault& fault) {
    EXPECT_TRUE(
        support::EmbedsSystemMessage(caption, fault.caption,
                                     L" (0x80040111)" + std::wstring(fault.captionEnd)) ||
        WineOnly(support::EmbedsSystemMessage(caption, fault.caption,
                                              L" (0x80040154)" + std::wstring(fault.captionEnd)),
                 "Wine's COM reports a class its DLL refuses as not registered "
                 "(REGDB_E_CLASSNOTREG)"))
        << Utf8(caption);
}

class FaultAtEveryCall : public ProgramTest, public testing::WithParamInterface<Fault> {};

TEST_P(FaultAtEveryCall, FailurePathNamesThePartStopsTheJobAndEndsFiveSecondsLater) {
    const Fault& fault = GetParam();
    StoreSetting(L"LogInData", L"Password", kPassword);
    ProgramRun run(fault.scenario);
    ASSERT_TRUE(run.WaitForLog(
        [&](const std::wstring& log) {
            return log.starts_with(fault.caption) && log.ends_with(fault.captionEnd);
        },
        10000))
        << Utf8(run.LastLog());
    const std::int64_t seenUs = NowUs();
    const std::wstring caption = run.Caption();
    EXPECT_EQ(run.LastLog(), caption);
    if (fault.refusedClass) {
        ExpectRefusedClassCaption(caption, fault);
    } else {
        EXPECT_EQ(caption, fault.caption);
    }
    EXPECT_EQ(run.WaitForExit(10000), 1);
    ExpectEndedAboutFiveSecondsAfter(run.ExitUs(), seenUs, ExitArmedAfter::DriverSawIt);
    EXPECT_EQ(run.LastCaption().find(kPassword), std::wstring::npos);

    const auto journal = run.Journal();
    const auto calls = CallTexts(journal);
    if (fault.lastCall.empty()) {
        EXPECT_TRUE(calls.empty());
    } else {
        ASSERT_FALSE(calls.empty());
        // A put of the program's folder is compared by its start: the folder differs per machine.
        EXPECT_EQ(calls.back().substr(0, fault.lastCall.size()), fault.lastCall);
        const auto failing = std::find_if(journal.rbegin(), journal.rend(), [](const auto& c) {
            return c.kind == "get" || c.kind == "put" || c.kind == "call";
        });
        ExpectEndedAboutFiveSecondsAfter(run.ExitUs(), failing->exitUs,
                                         ExitArmedAfter::CallReturned);
    }
    // Nothing survives the failure path: every object made is released by the end.
    EXPECT_TRUE(EveryObjectReleased(journal));
}

INSTANTIATE_TEST_SUITE_P(Job, FaultAtEveryCall, testing::ValuesIn(kFaults), kRowName);

} // namespace
} // namespace brevanto::e2e
