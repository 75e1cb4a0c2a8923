#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <thread>

#include "platform/base/program_directory.h"
#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "platform/com/com_object.h"
#include "platform/com/ole_apartment.h"
#include "report/report_job.h"
#include "report/run_error.h"
#include "tests/support/environment_variable.h"
#include "tests/support/journal_file.h"
#include "tests/support/standin_library.h"
#include "tests/support/system_message.h"

namespace brevanto::platform_test {
namespace {

using support::CallTexts;
using support::JournalCall;
using support::SeenLines;
using support::SeenValue;

// Drives the stand-in components in this process, through the same late binding the program
// uses, and reads what they received.
class ComBindingTest : public testing::Test {
protected:
    void SetUp() override { UseScenario(""); }
    void TearDown() override { UseScenario(""); }

    void UseScenario(const char* scenario) {
        scenario_.Set(std::wstring(scenario, scenario + std::strlen(scenario)));
        standin_.ReloadScenario();
    }

    std::vector<std::string> Calls() const { return CallTexts(Journal()); }
    std::vector<JournalCall> Journal() const { return journal_.Read(); }

    std::wstring ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const RunError& error) {
            return error.Description();
        }
        ADD_FAILURE() << "no error raised";
        return L"";
    }

    OleApartment apartment_;
    ComFactory factory_;
    support::JournalFile journal_;
    support::StandinLibrary standin_{ProgramDirectory()};
    support::ScopedEnvironmentVariable scenario_{support::kScenarioVariable, std::nullopt};
};

TEST_F(ComBindingTest, EachValueKindArrivesAsItsVariantType) {
    const ObjectRef user = factory_.Create(kUserClass);
    const ObjectRef viewer = factory_.Create(kViewerClass);
    viewer->Put(L"setexportpath", std::wstring(L"a\0b\xD83D\xDE00", 5));
    viewer->Put(L"AutoPrint", true);
    viewer->Put(L"loadviewer", false);
    viewer->Put(L"viewmode", std::int16_t{-2});
    viewer->Put(L"zeltarUser", user);
    viewer->Put(L"Requestnum", std::wstring());
    EXPECT_EQ(Calls(), (std::vector<std::string>{
                           "Viewer.put setexportpath BSTR:\"a\\x00b\\uD83D\\uDE00\"",
                           "Viewer.put AutoPrint BOOL:-1",
                           "Viewer.put loadviewer BOOL:0",
                           "Viewer.put viewmode I2:-2",
                           "Viewer.put zeltarUser DISPATCH:User",
                           "Viewer.put Requestnum BSTR:\"\"",
                       }));
}

TEST_F(ComBindingTest, MethodArgumentsKeepTheirOrder) {
    const ObjectRef user = factory_.Create(kUserClass);
    user->Call(L"LoginUser", {std::wstring(L"first"), std::wstring(L"second")});
    const ObjectRef classes = user->Get(L"ZELTARClasses");
    classes->Call(L"OpenMainReport",
                  {std::wstring(L"one"), std::wstring(L"two"), std::wstring(L"three")});
    EXPECT_EQ(Calls(), (std::vector<std::string>{
                           "User.call LoginUser BSTR:\"first\" BSTR:\"second\"",
                           "User.get ZELTARClasses",
                           "Classes.call OpenMainReport BSTR:\"one\" BSTR:\"two\" BSTR:\"three\"",
                       }));
}

TEST_F(ComBindingTest, GetServesAPropertyAndAnArgumentlessMethod) {
    for (const char* scenario : {"", "zeltarclasses:method"}) {
        SCOPED_TRACE(scenario);
        UseScenario(scenario);
        journal_.Clear();
        const ObjectRef user = factory_.Create(kUserClass);
        const ObjectRef viewer = factory_.Create(kViewerClass);
        viewer->Put(L"zeltarUser", user);
        const ObjectRef classes = viewer->Get(L"zeltarUser")->Get(L"ZELTARClasses");
        classes->Put(L"PDFPrintMode", std::wstring(L"2"));
        EXPECT_EQ(Calls().back(), "Classes.put PDFPrintMode BSTR:\"2\"");
    }
}

TEST_F(ComBindingTest, EveryReferenceIsReleased) {
    {
        const ObjectRef user = factory_.Create(kUserClass);
        const ObjectRef viewer = factory_.Create(kViewerClass);
        viewer->Put(L"zeltarUser", user);
        viewer->Get(L"zeltarUser")->Get(L"ZELTARClasses")->Put(L"PDFPrintMode", std::wstring());
    }
    int created = 0, destroyed = 0;
    for (const auto& call : Journal()) {
        created += call.kind == "create";
        destroyed += call.kind == "destroy";
    }
    EXPECT_EQ(created, 3);
    EXPECT_EQ(destroyed, 3);
}

TEST_F(ComBindingTest, FailuresBecomeRunErrorsWithTheirDescription) {
    struct Case {
        const char* scenario;
        std::function<void(AutomationObject& user)> action;
        std::wstring description;
        // Where the description embeds the system's message for the HRESULT: what follows it.
        // The description is then what comes before it.
        std::wstring afterSystemMessage = L"";
    };
    const Case cases[] = {
        {"fail:User.SetExePath=Path refused",
         [](AutomationObject& u) { u.Put(L"SetExePath", std::wstring(L"C:\\")); }, L"Path refused"},
        {"fail:User.SetExePath=",
         [](AutomationObject& u) { u.Put(L"SetExePath", std::wstring(L"C:\\")); }, L""},
        {"faildeferred:User.LoginUser=Filled in later",
         [](AutomationObject& u) {
             u.Call(L"LoginUser", {std::wstring(), std::wstring()});
         },
         L"Filled in later"},
        {"failhr:User.PasswordDeptCode=0x80070005",
         [](AutomationObject& u) { u.Put(L"PasswordDeptCode", std::wstring()); },
         L"Member \"PasswordDeptCode\" of ZELTAR_User.clsCurrentUser: ", L" (0x80070005)"},
        {"", [](AutomationObject& u) { u.Put(L"NoSuchMember", true); },
         L"Member \"NoSuchMember\" of ZELTAR_User.clsCurrentUser: ", L" (0x80020006)"},
        {"", [](AutomationObject& u) { u.Call(L"LoginUser", {std::wstring()}); },
         L"Member \"LoginUser\" of ZELTAR_User.clsCurrentUser: ", L" (0x8002000E)"},
        {"nonobject:User.ZELTARClasses", [](AutomationObject& u) { u.Get(L"ZELTARClasses"); },
         L"Member \"ZELTARClasses\" of ZELTAR_User.clsCurrentUser did not give an object"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        UseScenario(c.scenario);
        const ObjectRef user = factory_.Create(kUserClass);
        const std::wstring error = ErrorOf([&] { c.action(*user); });
        if (c.afterSystemMessage.empty()) {
            EXPECT_EQ(error, c.description);
        } else {
            EXPECT_TRUE(support::EmbedsSystemMessage(error, c.description, c.afterSystemMessage))
                << Utf8(error);
        }
    }
}

DPI_AWARENESS ThreadAwareness() {
    return GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext());
}

TEST_F(ComBindingTest, EveryCallRunsDpiUnawareAndGivesTheThreadItsAwarenessBack) {
    UseScenario("observe:User.SetExePath;observe:User.LoginUser;observe:User.ZELTARClasses;"
                "fail:User.LoginUser=Refused;nocreate:Viewer");
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    ASSERT_EQ(ThreadAwareness(), DPI_AWARENESS_PER_MONITOR_AWARE);
    struct Case {
        const char* name;
        std::function<void()> call;
    };
    ObjectRef user;
    const Case cases[] = {
        {"create", [&] { user = factory_.Create(kUserClass); }},
        {"put", [&] { user->Put(L"SetExePath", std::wstring(L"C:\\")); }},
        {"get", [&] { user->Get(L"ZELTARClasses"); }},
        {"failing method",
         [&] { ErrorOf([&] {
                   user->Call(L"LoginUser", {std::wstring(), std::wstring()});
               }); }},
        {"failing create", [&] { ErrorOf([&] { factory_.Create(kViewerClass); }); }},
        {"unknown name", [&] { ErrorOf([&] { user->Put(L"NoSuchMember", true); }); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.call();
        EXPECT_EQ(ThreadAwareness(), DPI_AWARENESS_PER_MONITOR_AWARE);
    }
    const auto journal = Journal();
    for (const char* member : {"SetExePath", "LoginUser", "ZELTARClasses"}) {
        SCOPED_TRACE(member);
        const auto seen = SeenLines(journal, "User", member);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(SeenValue(seen[0], "thread_dpi"), "unaware");
    }
}

// An activation context of the caller's own: the launcher's version 6 controls manifest.
UniqueActivationContext CallersOwnContext() {
    const std::wstring exe = ProgramDirectory() + L"\\Brevanto.exe";
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = exe.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(2);
    return UniqueActivationContext(CreateActCtxW(&request));
}

HANDLE CurrentActivationContext() {
    HANDLE current = nullptr;
    if (!GetCurrentActCtx(&current))
        return INVALID_HANDLE_VALUE;
    // The comparison needs only the value; the reference it came with goes back now.
    if (current)
        ReleaseActCtx(current);
    return current;
}

// Each component call pushes the components' world (the process default context) for the call
// alone. Afterwards the caller's own context is the current one again, and the caller's own
// deactivation succeeds: had a call left its frame on the stack, the caller's code after it would
// run in the wrong context, and on Windows that deactivation would be an early one, which ntdll
// raises as an exception.
TEST_F(ComBindingTest, EveryKindOfCallLeavesTheCallersActivationContextCurrent) {
    UseScenario("unknown:Viewer.zeltarUser;fail:Viewer.Show_Results=Refused");
    const UniqueActivationContext own = CallersOwnContext();
    ASSERT_TRUE(own) << "no activation context from the launcher's manifest 2";

    struct Case {
        const char* name;
        std::function<void()> call;
    };
    std::vector<std::string> leftOtherContext;
    std::string unexpectedError;
    bool deactivated = false;
    HANDLE afterwards = nullptr;
    // On a thread of its own: a context left active by a faulty call must not outlive the test.
    std::thread caller([&] {
        const OleApartment apartment;
        ULONG_PTR cookie = 0;
        if (!ActivateActCtx(own.Get(), &cookie))
            return;
        ObjectRef user, viewer;
        const Case cases[] = {
            {"create", [&] { user = factory_.Create(kUserClass); }},
            {"failing create", [&] { ErrorOf([&] { factory_.Create(L"No.SuchClass"); }); }},
            {"name look-up", [&] { user->Knows(L"LoginUser"); }},
            {"put",
             [&] {
                 viewer = factory_.Create(kViewerClass);
                 viewer->Put(L"zeltarUser", user);
             }},
            {"QueryInterface", [&] { viewer->Get(L"zeltarUser"); }},
            {"get", [&] { user->Get(L"ZELTARClasses"); }},
            {"method",
             [&] {
                 user->Call(L"LoginUser", {std::wstring(), std::wstring()});
             }},
            {"failing method", [&] { ErrorOf([&] { viewer->Call(L"Show_Results", {}); }); }},
            {"release",
             [&] {
                 viewer.reset();
                 user.reset();
             }},
        };
        for (const Case& c : cases) {
            try {
                c.call();
            } catch (const RunError& error) {
                unexpectedError = c.name + (": " + Utf8(error.Description()));
                break;
            }
            if (CurrentActivationContext() != own.Get())
                leftOtherContext.push_back(c.name);
        }
        // Deactivating a frame that is not the top one raises; only the top one is tried.
        if (CurrentActivationContext() == own.Get()) {
            deactivated = DeactivateActCtx(0, cookie) != FALSE;
            afterwards = CurrentActivationContext();
        }
    });
    caller.join();
    EXPECT_EQ(unexpectedError, "");
    EXPECT_EQ(leftOtherContext, std::vector<std::string>{});
    EXPECT_TRUE(deactivated);
    EXPECT_EQ(afterwards, nullptr);

    // Every kind of call reached the components.
    const auto calls = Calls();
    for (const char* call : {"Viewer.put zeltarUser DISPATCH:User", "Viewer.get zeltarUser",
                             "User.get ZELTARClasses"}) {
        EXPECT_NE(std::find(calls.begin(), calls.end(), call), calls.end()) << call;
    }
    int created = 0, destroyed = 0;
    for (const auto& line : Journal()) {
        created += line.kind == "create";
        destroyed += line.kind == "destroy";
    }
    EXPECT_EQ(created, 3);
    EXPECT_EQ(destroyed, 3);
}

TEST_F(ComBindingTest, AnObjectFromAGetKeepsTheInterfaceItWasGivenAs) {
    UseScenario("second:User.ZELTARClasses");
    const ObjectRef classes = factory_.Create(kUserClass)->Get(L"ZELTARClasses");
    classes->Put(L"PDFPrintMode", std::wstring(L"2"));
    EXPECT_EQ(Calls().back(), "Classes2.put PDFPrintMode BSTR:\"2\"");
}

TEST_F(ComBindingTest, UnknownClassCannotBeCreated) {
    const std::wstring error = ErrorOf([&] { factory_.Create(L"No.SuchClass"); });
    EXPECT_TRUE(support::EmbedsSystemMessage(error, L"Cannot create object \"No.SuchClass\": ",
                                             L" (0x800401F3)"))
        << Utf8(error);
}

} // namespace
} // namespace brevanto::platform_test
