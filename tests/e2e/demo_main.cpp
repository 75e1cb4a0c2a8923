// Runs Brevanto.exe once against the stand-in components and prints what happened: the run log
// as the window showed it, the calls the components received and the exit status.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/program_run.h"
#include "tests/e2e/test_registry.h"

namespace {

void PrintWide(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size,
                        nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

} // namespace

// An optional argument is a scenario for the stand-ins, as the tests give them.
int wmain(int argc, wchar_t** argv) {
    using namespace brevanto::e2e;
    RegisterStandins();
    const std::wstring scenario = argc > 1 ? argv[1] : L"";
    ProgramRun run(std::string(scenario.begin(), scenario.end()));
    if (!run.Window())
        return 1;
    // Follow the log until the program ends by itself.
    run.WaitForLog([](const std::wstring&) { return false; }, 60000);
    const int status = run.WaitForExit(60000);

    std::printf("Window caption: ");
    PrintWide(run.LastCaption());
    std::printf("\nRun log:\n");
    PrintWide(run.LastLog());
    std::printf("\nCalls the components received:\n");
    for (const auto& call : run.Journal())
        std::printf("  %+9.1f ms  %s%s%s\n", (call.enterUs - run.ShownUs()) / 1000.0,
                    call.Text().c_str(), call.raised.empty() ? "" : "  raised ",
                    call.raised.c_str());
    std::printf("Exit status %d, %.1f s after the window was shown\n", status,
                (run.ExitUs() - run.ShownUs()) / 1e6);
    return 0;
}
