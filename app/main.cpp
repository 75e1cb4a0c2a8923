#include <windows.h>

#include "app/main_window.h"
#include "app/run_end_report.h"
#include "platform/crash_handling.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before anything can crash: from here on nothing waits for a person.
    brevanto::InstallCrashHandling();
    brevanto::StartRunEndReport();
    // Components and the system are loaded from their own folders, never from the current one.
    SetDllDirectoryW(L"");
    // The components are released by now; no DLL detach code runs, as a component's might
    // never return.
    const int status = brevanto::RunMainWindow(instance);
    brevanto::ReportRunEnd(status);
    brevanto::EndProcessNow(static_cast<UINT>(status));
}
