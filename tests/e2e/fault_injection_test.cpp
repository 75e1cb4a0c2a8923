#include "tests/e2e/program_test.h"

#include <algorithm>

#include "app/window_layout.h"
#include "tests/support/system_message.h"

namespace brevanto::e2e {
namespace {

struct Fault {
    const char* name;
    std::string scenario;
    int part;
    // The component's description; for a class its DLL refuses, what comes before the system's
    // message for the HRESULT.
    std::wstring description;
    std::string lastCall; // the last call the components see; empty: none at all
    bool refusedClass = false;
};

const std::wstring kPassword = L"Pw-S3cret!";
const std::string kLogin = "User.call LoginUser BSTR:\"\" " + Bstr(kPassword);

// A call of member that raises the description.
Fault Raising(const char* name, const std::string& member, int part,
              const std::wstring& description, const std::string& lastCall) {
    return {name, "fail:" + member + "=" + Utf8(description), part, description, lastCall};
}

// One run per component call of the job, each failing exactly there.
const Fault kFaults[] = {
    {"UserCreate", "nocreate:User", 1, L"Cannot create object \"ZELTAR_User.clsCurrentUser\": ", "",
     true},
    Raising("SetExePath", "User.SetExePath", 1, L"SetExePath refused", "User.put SetExePath"),
    Raising("PasswordDeptCode", "User.PasswordDeptCode", 2, L"Department code refused",
            "User.put PasswordDeptCode BSTR:\"\""),
    Raising("LoginUser", "User.LoginUser", 3, L"Login refused", kLogin),
    {"ViewerCreate", "nocreate:Viewer", 4, L"Cannot create object \"velmonic.labresultviewer\": ",
     kLogin, true},
    Raising("ZeltarUserPut", "Viewer.zeltarUser", 5, L"User refused",
            "Viewer.put zeltarUser DISPATCH:User"),
    Raising("SetExportPath", "Viewer.setexportpath", 6, L"Export folder refused",
            "Viewer.put setexportpath"),
    Raising("SetDllVer", "Viewer.SetDLLVer", 6, L"Library version refused",
            "Viewer.put SetDLLVer BSTR:\"1\""),
    Raising("Requestnum", "Viewer.Requestnum", 6, L"Request unknown",
            "Viewer.put Requestnum BSTR:\"\""),
    Raising("AutoPrint", "Viewer.AutoPrint", 6, L"No printer", "Viewer.put AutoPrint BOOL:-1"),
    Raising("ViewModePut", "Viewer.viewmode", 7, L"View mode refused",
            "Viewer.put viewmode BSTR:\"1\""),
    {"ZeltarUserGet", "nonobject:Viewer.zeltarUser", 7,
     L"Member \"zeltarUser\" of velmonic.labresultviewer did not give an object",
     "Viewer.get zeltarUser"},
    Raising("ZeltarClasses", "User.ZELTARClasses", 7, L"No report classes",
            "User.get ZELTARClasses"),
    Raising("PdfPrintMode", "Classes.PDFPrintMode", 7, L"Print mode refused",
            "Classes.put PDFPrintMode BSTR:\"1\""),
    Raising("LoadViewer", "Viewer.loadviewer", 7, L"Viewer cannot load",
            "Viewer.put loadviewer BOOL:-1"),
    Raising("Export", "Viewer.Export", 7, L"Export refused", "Viewer.put Export BOOL:-1"),
    Raising("ShowResults", "Viewer.Show_Results", 8, L"Report engine stopped",
            "Viewer.call Show_Results"),
    // A window's text ends at its first NUL: the caption would lose the rest and " Part:8".
    {"DescriptionWithNul", "fail:Viewer.Show_Results=Printer\\u0000offline", 8, L"Printer offline",
     "Viewer.call Show_Results"},
};

// The caption of a failure to create a class its DLL refuses. The DLL answers
// CLASS_E_CLASSNOTAVAILABLE, as DllGetClassObject's documentation gives for a class it does not
// support, and CoCreateInstance passes that on.
void ExpectRefusedClassCaption(const std::wstring& caption, const std::wstring& head, int part) {
    const std::wstring partText = L" Part:" + std::to_wstring(part);
    EXPECT_TRUE(support::EmbedsSystemMessage(caption, head, L" (0x80040111)" + partText) ||
                WineOnly(support::EmbedsSystemMessage(caption, head, L" (0x80040154)" + partText),
                         "Wine's COM reports a class its DLL refuses as not registered "
                         "(REGDB_E_CLASSNOTREG)"))
        << Utf8(caption);
}

class FaultAtEveryCall : public ProgramTest, public testing::WithParamInterface<Fault> {};

TEST_P(FaultAtEveryCall, FailurePathNamesThePartStopsTheJobAndEndsFiveSecondsLater) {
    const Fault& fault = GetParam();
    StoreSetting(L"LogInData", L"Password", kPassword);
    ProgramRun run(fault.scenario);
    const std::wstring head = L"Brevanto.exe Generate " + fault.description;
    const std::wstring partText = L" Part:" + std::to_wstring(fault.part);
    ASSERT_TRUE(run.WaitForLog(
        [&](const std::wstring& log) { return log.starts_with(head) && log.ends_with(partText); },
        10000))
        << Utf8(run.LastLog());
    const std::int64_t seenUs = NowUs();
    const std::wstring caption = run.Caption();
    EXPECT_EQ(run.LastLog(), caption);
    if (fault.refusedClass) {
        ExpectRefusedClassCaption(caption, head, fault.part);
    } else {
        EXPECT_EQ(caption, head + partText);
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
