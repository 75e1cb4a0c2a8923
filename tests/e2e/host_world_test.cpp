#include "tests/e2e/program_test.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "app/window_layout.h"
#include "platform/base/pe_header.h"
#include "platform/base/unique_resource.h"
#include "platform/window/dpi.h"
#include "report/report_job.h"
#include "tests/conformance/conformance.h"
#include "tests/support/child_process.h"
#include "tests/support/journal_file.h"
#include "tests/support/standin_library.h"

namespace brevanto::e2e {
namespace {

using support::LinesOfKind;

constexpr bool kIs32Bit = sizeof(void*) == 4;

// GetProcessDEPPolicy's flags for a 32-bit process whose exe does not opt in to DEP (no
// NX_COMPAT), under each system policy: DEP is on only where the policy turns it on for every
// process (AlwaysOn, and OptOut, the Server default); ATL thunk emulation stays on, as only an
// image that opts in turns it off.
std::string DepOfAnExeThatDoesNotOptIn(DEP_SYSTEM_POLICY_TYPE policy) {
    const std::pair<DEP_SYSTEM_POLICY_TYPE, const char*> byPolicy[] = {
        {DEPPolicyAlwaysOff, "0"},
        {DEPPolicyAlwaysOn, "1"},
        {DEPPolicyOptIn, "0"},
        {DEPPolicyOptOut, "1"},
    };
    for (const auto& [known, flags] : byPolicy)
        if (known == policy)
            return flags;
    return "(a policy Windows does not document: " + std::to_string(policy) + ")";
}

// The observations the stand-ins make at the calls where a component would open its forms: the
// login, the viewer's Show_Results and the report classes' OpenMainReport.
constexpr char kObserveCalls[] =
    "observe:User.LoginUser;observe:Viewer.Show_Results;observe:Classes.OpenMainReport";

TEST_F(ProgramTest, ComponentsSeeTheWorldOfTheirOlderHost) {
    ProgramRun run(kObserveCalls);
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    run.Click(kCmdTestId);
    // The report classes journal what they see before the call itself.
    run.WaitForCall(TestButtonCalls().back(), 1, 2000);
    EXPECT_EQ(run.EndWithCancel(5000), 0);

    const auto journal = run.Journal();
    const std::pair<const char*, const char*> calls[] = {
        {"User", "LoginUser"}, {"Viewer", "Show_Results"}, {"Classes", "OpenMainReport"}};
    for (const auto& [object, member] : calls) {
        SCOPED_TRACE(std::string(object) + "." + member);
        const auto seen = SeenLines(journal, object, member);
        ASSERT_EQ(seen.size(), 1u);
        // Windows a component makes are scaled by the system, as in a DPI-unaware host...
        EXPECT_EQ(SeenValue(seen[0], "thread_dpi"), "unaware");
        EXPECT_EQ(SeenValue(seen[0], "window_dpi"), "unaware");
        // ...while the launcher's own window keeps its per-monitor layout.
        EXPECT_EQ(SeenValue(seen[0], "host_window_dpi"), "per-monitor");
        // Classic controls for the component, version 6 for the launcher's own.
        EXPECT_EQ(SeenValue(seen[0], "button"), "classic");
        EXPECT_EQ(SeenValue(seen[0], "host_button"), "v6");
        // DEP follows the system's policy in the 32-bit build. A 64-bit process always has it,
        // and GetProcessDEPPolicy fails for one (ERROR_NOT_SUPPORTED).
        const std::string dep = SeenValue(seen[0], "dep");
        if (kIs32Bit) {
            EXPECT_EQ(dep, DepOfAnExeThatDoesNotOptIn(GetSystemDEPPolicy()));
        } else {
            EXPECT_TRUE(dep == "n/a" ||
                        WineOnly(dep == "3", "Wine's GetProcessDEPPolicy answers for a 64-bit "
                                             "process: DEP on and ATL thunk emulation off"))
                << dep;
        }
    }
}

// A component starts threads of its own (a print worker, a progress window) during its calls.
// Such a thread starts with the process's DPI awareness, not with the calling thread's, so only
// a DPI-unaware process gives it the world of the older host.
TEST_F(ProgramTest, ThreadsAComponentStartsAreDpiUnaware) {
    ProgramRun run("thread:User.LoginUser;thread:Viewer.Show_Results;"
                   "thread:Classes.OpenMainReport;observe:Classes.OpenMainReport");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    run.Click(kCmdTestId);
    run.WaitForCall(TestButtonCalls().back(), 1, 2000);
    EXPECT_EQ(run.EndWithCancel(5000), 0);

    const auto journal = run.Journal();
    const auto threads = LinesOfKind(journal, "thread");
    const std::pair<const char*, const char*> calls[] = {
        {"User", "LoginUser"}, {"Viewer", "Show_Results"}, {"Classes", "OpenMainReport"}};
    for (const auto& [object, member] : calls) {
        SCOPED_TRACE(std::string(object) + "." + member);
        const auto line = std::find_if(threads.begin(), threads.end(), [&](const JournalCall& t) {
            return t.object == object && t.member == member;
        });
        ASSERT_NE(line, threads.end()) << "the stand-in started no thread";
        EXPECT_EQ(SeenValue(*line, "thread_dpi"), "unaware");
        EXPECT_EQ(SeenValue(*line, "window_dpi"), "unaware");
    }
    // Meanwhile the launcher's own window is still per-monitor aware.
    const auto seen = SeenLines(journal, "Classes", "OpenMainReport");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(SeenValue(seen[0], "host_window_dpi"), "per-monitor");
}

// A component's thread timer (a procedure of its own, no window) is served by whatever loop of
// the thread runs next: here the event run after one of the job's log lines, inside our window
// procedure. Its procedure runs there as in the older host: DPI-unaware, with the classic
// controls; only our own window's procedure runs in our window's awareness.
TEST_F(ProgramTest, AComponentsThreadTimerServedByTheJobsEventRunRunsInTheComponentsWorld) {
    // LoginUser takes long enough for the timer set at SetExePath to be due at the next line.
    ProgramRun run("threadtimer:User.SetExePath;block:User.LoginUser=50");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(run.EndWithCancel(5000), 0);

    const auto journal = run.Journal();
    const auto timers = LinesOfKind(journal, "timer");
    ASSERT_EQ(timers.size(), 1u) << "the host served no thread timer";
    const auto shown = std::find_if(journal.begin(), journal.end(), [](const JournalCall& call) {
        return call.object == "Viewer" && call.member == "Show_Results";
    });
    ASSERT_NE(shown, journal.end());
    EXPECT_LT(timers[0].enterUs, shown->enterUs) << "served after the job, not by its event runs";
    EXPECT_EQ(SeenValue(timers[0], "thread_dpi"), "unaware");
    EXPECT_EQ(SeenValue(timers[0], "window_dpi"), "unaware");
    EXPECT_EQ(SeenValue(timers[0], "button"), "classic");
    EXPECT_EQ(SeenValue(timers[0], "host_window_dpi"), "per-monitor");
}

// The workstation check makes the components in creation processes of its own, in the world
// Brevanto.exe gives them: a thread a component starts while it is made is DPI-unaware there too.
TEST_F(ProgramTest, ThreadsAComponentStartsInTheChecksCreationProcessAreDpiUnaware) {
    const support::JournalFile journal;
    const support::ScopedEnvironmentVariable plan(support::kScenarioVariable,
                                                  L"createthread:Viewer");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    // The creation process reports on its standard output; nobody reads it here.
    const UniqueFile discard(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(discard);
    const std::wstring exe = ProgramDirectory() + L"\\brevanto-check.exe";
    support::ChildProcess creation(exe,
                                   L"\"" + exe + L"\" --create-class " + std::wstring(kViewerClass),
                                   ProgramDirectory(), discard.Get());
    ASSERT_TRUE(creation.WaitForExit(10000));
    EXPECT_EQ(creation.ExitStatus(), 0u);

    const auto threads = LinesOfKind(journal.Read(), "thread");
    ASSERT_EQ(threads.size(), 1u) << "the stand-in started no thread";
    EXPECT_EQ(threads[0].object, "Viewer");
    EXPECT_EQ(SeenValue(threads[0], "thread_dpi"), "unaware");
    EXPECT_EQ(SeenValue(threads[0], "window_dpi"), "unaware");
}

TEST_F(ProgramTest, AnObjectAComponentHandsBackIsUsedAsGiven) {
    // The report classes come back through their second dispinterface; swapping it through
    // QueryInterface(IID_IDispatch) would land the calls on the first one, journaled "Classes".
    auto expected = EmptyStoreCalls(ProgramDirectory());
    for (auto call : TestButtonCalls())
        expected.push_back(call);
    for (auto& call : expected) {
        if (call.rfind("Classes.", 0) == 0)
            call.replace(0, 7, "Classes2");
    }
    ProgramRun run("second:User.ZELTARClasses");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    run.Click(kCmdTestId);
    run.WaitForCall(expected.back(), 1, 2000);
    EXPECT_EQ(run.EndWithCancel(5000), 0);
    EXPECT_EQ(run.Calls(), expected);
}

TEST_F(ProgramTest, OleIsStartedBeforeTheComponentsAndEndedOnTheWayOut) {
    // Under Wine OLE's services answer without OleInitialize, so Wine's own trace is the
    // witness; Windows has no such trace of a process.
    if (!RunningUnderWine())
        BREVANTO_SKIP(runner::kWineOnlySkip, "Wine's trace of OLE's calls is the witness");
    if (!WineTraceReadable())
        BREVANTO_SKIP(runner::kNoWitnessSkip,
                      "Wine writes the program's trace to this driver's standard error; "
                      "BREVANTO_DRIVER_STDERR must name the file it goes to, as scripts/test does");
    struct Case {
        const char* name;
        bool cancel;
    };
    for (const Case& c : {Case{"exit timer", false}, Case{"Cancel", true}}) {
        SCOPED_TRACE(c.name);
        ProgramRun run("", "trace+ole,trace+message");
        ASSERT_TRUE(run.WaitForLogLines(13, 15000));
        const HWND window = run.Window();
        EXPECT_EQ(c.cancel ? run.EndWithCancel(10000) : run.WaitForExit(10000), 0);

        const auto trace = run.Trace();
        const auto first = [&](const std::string& text) {
            return std::find_if(trace.begin(), trace.end(), [&](const std::string& line) {
                return line.find(text) != std::string::npos;
            });
        };
        const auto oleUp = first("trace:ole:OleInitialize (");
        const auto comUp = first("trace:ole:CoInitializeEx ");
        const auto firstCreate = first("trace:ole:CoCreateInstance ");
        const auto oleDown = first("trace:ole:OleUninitialize ()");
        ASSERT_NE(oleUp, trace.end());
        ASSERT_NE(firstCreate, trace.end());
        // COM comes up through OLE, before any component.
        EXPECT_LT(oleUp - trace.begin(), comUp - trace.begin());
        EXPECT_LT(oleUp - trace.begin(), firstCreate - trace.begin());
        EXPECT_NE(oleDown, trace.end());

        if (c.cancel) {
            // The window's last message reaches the default handling with its own handle.
            char handle[32];
            std::snprintf(
                handle, sizeof handle, "(0x%llx)",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
            EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [&](const std::string& line) {
                return line.find("DefWindowProc:[0082] WM_NCDESTROY") != std::string::npos &&
                       line.find(handle) != std::string::npos;
            })) << handle;
        }
    }
}

std::string LowerCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsPerMonitorV1(HWND window) {
    using EqualFunction = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);
    const auto equal = reinterpret_cast<EqualFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AreDpiAwarenessContextsEqual")));
    const DPI_AWARENESS_CONTEXT awareness = WindowDpiAwareness(window);
    return equal && awareness && equal(awareness, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

// Where our window falls back to per-monitor version 1 (Windows 10 1607, Server 2016; Wine
// refuses version 2), its title bar and frame follow its DPI only because it asked for that
// while it was made.
TEST_F(ProgramTest, OurWindowFallenBackToPerMonitorV1HasItsTitleBarScaled) {
    ProgramRun run("", "fixme+system");
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    const HWND window = run.Window();
    if (!IsPerMonitorV1(window)) {
        EXPECT_EQ(run.EndWithCancel(5000), 0);
        BREVANTO_SKIP(runner::kNotApplicableSkip,
                      "the window is not per-monitor version 1: version 2 scales its own title "
                      "bar, and before Windows 10 1607 the window is unaware");
    }
    if (conformance::WindowsOnlyCheck("a per-monitor v1 window's frame is scaled to its DPI")) {
        RECT outer, client;
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
        const SIZE expected =
            WindowSizeForClient(SIZE{client.right, client.bottom}, kMainWindowStyle,
                                kMainWindowExStyle, WindowDpi(window));
        EXPECT_EQ(outer.right - outer.left, expected.cx);
        EXPECT_EQ(outer.bottom - outer.top, expected.cy);
        EXPECT_EQ(run.EndWithCancel(5000), 0);
        return;
    }
    // Wine draws no scaled frame; its stub of the call says that it was made, for our window.
    EXPECT_EQ(run.EndWithCancel(5000), 0);
    if (!run.TraceReadable())
        BREVANTO_SKIP(runner::kNoWitnessSkip,
                      "Wine writes the program's trace to this driver's standard error; "
                      "BREVANTO_DRIVER_STDERR must name the file it goes to, as scripts/test does");
    // Wine prints the handle as %p does, in the width of a pointer.
    char call[64];
    std::snprintf(call, sizeof call, "EnableNonClientDpiScaling (%0*llx)",
                  static_cast<int>(2 * sizeof(void*)),
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    const std::string wanted = LowerCase(call);
    const auto trace = run.Trace();
    EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [&](const std::string& line) {
        return LowerCase(line).find(wanted) != std::string::npos;
    })) << call;
}

TEST_F(ProgramTest, DpiChangeLaysTheWindowOutAgainWithoutADeletedFontInUse) {
    ProgramRun run("dpichange:User.LoginUser=144");
    // The window goes back to the DPI it had, whose layout is known at 96 DPI only.
    if (const HWND window = run.Window(); window && WindowDpi(window) != kLayoutDpi)
        BREVANTO_SKIP(runner::kLayoutNotComparableSkip,
                      "the layout's pixels are known at 96 DPI; the window is at " +
                          std::to_string(WindowDpi(window)));
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    const auto seen = SeenLines(run.Journal(), "User", "LoginUser");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(SeenValue(seen[0], "fonts"), "live");
    EXPECT_NE(SeenValue(seen[0], "font_checks"), "0");
    // 1335 x 495 twips at 144 DPI.
    EXPECT_EQ(SeenValue(seen[0], "test_button"), "134x50");
    // Back at 96 DPI the layout is the original one.
    RECT button;
    GetClientRect(run.Control(kCmdTestId), &button);
    EXPECT_EQ(button.right, 89);
    EXPECT_EQ(button.bottom, 33);
    EXPECT_EQ(run.EndWithCancel(5000), 0);
}

std::string ManifestText(HMODULE module, WORD id) {
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(24));
    if (!resource)
        return {};
    return std::string(static_cast<const char*>(LockResource(LoadResource(module, resource))),
                       SizeofResource(module, resource));
}

TEST(BuiltExecutable, HeaderAndManifestGiveTheComponentsTheirOlderHost) {
    // Both builds are checked wherever they were built, also the one this machine cannot run;
    // the workstation check creates the components too, in the same world.
    const std::wstring build = ProgramDirectory() + L"\\..\\..\\";
    int checked = 0;
    for (const wchar_t* folder : {L"mingw-i686", L"mingw-x64"})
        for (const wchar_t* name : {L"Brevanto.exe", L"brevanto-check.exe"}) {
            const std::wstring exe = build + folder + L"\\bin\\" + name;
            if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
                continue;
            const bool check = std::wstring(name) == L"brevanto-check.exe";
            SCOPED_TRACE(Utf8(std::wstring(folder) + L"\\" + name));
            ++checked;
            const auto pe = ReadPeHeader(exe);
            ASSERT_TRUE(pe);
            const bool i686 = pe->machine == IMAGE_FILE_MACHINE_I386;
            EXPECT_EQ(std::wstring(folder) == L"mingw-i686", i686);
            // The 32-bit exe leaves DEP to the system; on x64 DEP is always on anyway.
            EXPECT_EQ((pe->dllCharacteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT) != 0, !i686);
            EXPECT_NE(pe->dllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, 0);

            const UniqueModule module(LoadLibraryExW(
                exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
            // Windows maps an image of either architecture as data. Wine's 32-bit loader does not
            // map a 64-bit one; the x64 driver, which runs wherever this one does, checks that
            // exe's manifests.
            const bool ownArchitecture = i686 == kIs32Bit;
            ASSERT_TRUE(module || WineOnly(!ownArchitecture, "Wine's 32-bit loader does not map "
                                                             "a 64-bit image, even as data"));
            if (!module)
                continue;
            const std::string process = ManifestText(module.Get(), 1);
            ASSERT_FALSE(process.empty());
            // No execution level: a standard user's writes under Program Files are virtualised.
            EXPECT_EQ(process.find("requestedExecutionLevel"), std::string::npos);
            EXPECT_EQ(process.find("trustInfo"), std::string::npos);
            // No version 6 controls for the process, hence for the components' forms.
            EXPECT_EQ(process.find("Common-Controls"), std::string::npos);
            // A DPI-unaware process, so every thread starts unaware as in the older host; only our
            // own window is made per-monitor aware, per thread. Neither dpiAware nor a per-monitor
            // dpiAwareness may make the process aware.
            EXPECT_NE(process.find(">unaware</dpiAwareness>"), std::string::npos);
            EXPECT_EQ(process.find("PerMonitor"), std::string::npos);
            EXPECT_EQ(process.find("<dpiAware "), std::string::npos);
            EXPECT_EQ(process.find("<dpiAware>"), std::string::npos);
            // Our own controls' manifest; the check has no window.
            if (check)
                continue;
            const std::string own = ManifestText(module.Get(), 2);
            EXPECT_NE(own.find("Microsoft.Windows.Common-Controls"), std::string::npos);
            EXPECT_NE(own.find("version=\"6.0.0.0\""), std::string::npos);
        }
    EXPECT_GE(checked, 2);
}

} // namespace
} // namespace brevanto::e2e
