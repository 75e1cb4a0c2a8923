// brevanto_crash_probe.exe: the crash handling Brevanto.exe has, with a crash reporter that fails
// as the test asks, then a crash of a code of its own. Its exit status is the code the process
// ended with; its standard output says how far the reporter got.
//   brevanto_crash_probe.exe fault   the reporter writes through a null pointer
//   brevanto_crash_probe.exe throw   the reporter throws a C++ exception
#include <windows.h>

#include <cwchar>
#include <stdexcept>
#include <string_view>

#include "platform/unattended/crash_handling.h"
#include "platform/unattended/crash_report.h"
#include "platform/unattended/exit_guard.h"

namespace {

// The code the probe crashes with, which the process must end with.
constexpr DWORD kFirstCrash = 0xE0000042;

int* volatile g_nowhere = nullptr;
bool g_throw = false;

void Say(std::string_view text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

void FailingReporter(const brevanto::CrashFacts&) {
    Say("reporter ran\n");
    if (g_throw)
        throw std::runtime_error("the reporter's own error");
    *g_nowhere = 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    g_throw = argc > 1 && std::wcscmp(argv[1], L"throw") == 0;
    brevanto::InstallCrashHandling();
    brevanto::PrepareCrashReports();
    if (!brevanto::StartExitGuard(20000, 5))
        return 2;
    brevanto::InstallCrashReporter(&FailingReporter, brevanto::kCrashReportShortMs);
    // Until the guard's thread serves crash reports, a crash would end the process at once.
    Sleep(500);
    RaiseException(kFirstCrash, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return 3;
}
