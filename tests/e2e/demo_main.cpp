// Runs Brevanto.exe once against the stand-in components, with a lab workstation's sample
// settings, and prints what happened: the run log as the window showed it, the calls the
// components received and the exit status.
#include <cstdio>
#include <exception>
#include <string>

#include "platform/base/utf8.h"
#include "tests/support/program_run.h"
#include "tests/support/settings.h"
#include "tests/support/standin_library.h"

// An optional argument is a scenario for the stand-ins, as the tests give them.
int wmain(int argc, wchar_t** argv) {
    using namespace brevanto::support;
    using brevanto::Utf8;
    try {
        RegisterStandins(brevanto::ProgramDirectory());
        StoreSampleSettings();
        const std::wstring scenario = argc > 1 ? argv[1] : L"";
        ProgramRun run(std::string(scenario.begin(), scenario.end()));
        if (!run.Window())
            return 1;
        // Follow the log until the program ends by itself.
        run.WaitForLog([](const std::wstring&) { return false; }, 60000);
        const int status = run.WaitForExit(60000);

        std::printf("Window caption: %s\nRun log:\n%s\nCalls the components received:\n",
                    Utf8(run.LastCaption()).c_str(), Utf8(run.LastLog()).c_str());
        for (const auto& call : run.Journal())
            std::printf("  %+9.1f ms  %s%s%s\n", Ms(call.enterUs - run.ShownUs()),
                        call.Text().c_str(), call.raised.empty() ? "" : "  raised ",
                        call.raised.c_str());
        std::printf("Exit status %d, %.1f s after the window was shown\n", status,
                    (run.ExitUs() - run.ShownUs()) / 1e6);
        return 0;
    } catch (const std::exception& error) {
        // On standard output: scripts/run sends Wine's standard error to a log file.
        std::printf("brevanto_demo: %s\n", error.what());
        return 1;
    }
}
