#include <windows.h>

#include "app/core/exit_status.h"
#include "app/main_window.h"
#include "app/run_end_report.h"
#include "platform/unattended/crash_handling.h"
#include "platform/unattended/crash_report.h"
#include "platform/unattended/exit_guard.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before anything can crash: from here on nothing waits for a person.
    brevanto::InstallCrashHandling();
    // Components and the system are loaded from their own folders, never from the current one.
    SetDllDirectoryW(L"");
    brevanto::PrepareCrashReports();
    // The guard's threads before OLE, our activation context and comctl32: a thread started
    // later runs their thread-attach code, and a crash report cannot start one at all.
    const bool guarded = brevanto::StartExitGuard(
        brevanto::kExitTimerMs,
        brevanto::ExitStatusFor(brevanto::RunFacts{}, brevanto::EndedBy::ExitGuard));
    brevanto::StartRunEndReport();
    // The components are released by now; no DLL detach code runs, as a component's might
    // never return.
    const int status = brevanto::RunMainWindow(instance, guarded);
    brevanto::ReportRunEnd(status);
    brevanto::EndProcessNow(static_cast<UINT>(status));
}
