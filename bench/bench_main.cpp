// brevanto_bench.exe: runs Brevanto.exe, the floor program (plain, with a thread, with the
// themed controls), the peer script and the workstation check N times each, unattended, against
// the stand-in components, and prints the figures with the targets.
// Usage: brevanto_bench.exe [--runs N] [--exe PATH] [--i686-exe PATH] [--job-paints-ms MS]
//   --exe           the x64 Brevanto.exe to measure (default: the one in this folder), e.g. an
//                   older build copied aside; it runs from this folder all the same
//   --job-paints-ms what the log box's paints inside the job cost (bench_log_probe.exe), to
//                   tell a job's own time Wine's painting keeps above its target
// Exit status: 0 all targets met, 1 a target missed, 2 a run went wrong.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <exception>
#include <string>

#include "bench/bench_report.h"
#include "bench/bench_runs.h"
#include "bench/standin_costs.h"
#include "platform/base/program_directory.h"
#include "platform/com/ole_apartment.h"
#include "tests/support/environment_variable.h"
#include "tests/support/file_size.h"
#include "tests/support/settings.h"
#include "tests/support/standin_library.h"

namespace {

using namespace brevanto::bench;
namespace support = brevanto::support;

struct Options {
    int runs = 20;
    std::wstring exe;
    std::wstring i686Exe;
    double jobPaintsMs = 0;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--runs" && i + 1 < argc) {
            options.runs = std::wcstol(argv[++i], nullptr, 10);
        } else if (arg == L"--i686-exe" && i + 1 < argc) {
            options.i686Exe = argv[++i];
        } else if (arg == L"--exe" && i + 1 < argc) {
            options.exe = argv[++i];
        } else if (arg == L"--job-paints-ms" && i + 1 < argc) {
            options.jobPaintsMs = std::wcstod(argv[++i], nullptr);
        } else {
            return false;
        }
    }
    return options.runs > 0;
}

int Bench(const Options& options) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring folder = brevanto::ProgramDirectory();
    const BenchPaths paths{folder, std::wstring(system) + L"\\cscript.exe",
                           options.exe.empty() ? folder + L"\\Brevanto.exe" : options.exe};
    support::RegisterStandins(paths.folder);
    support::StoreSampleSettings();
    const support::ScopedEnvironmentVariable noScenario(support::kScenarioVariable, std::nullopt);

    BenchSamples samples;
    samples.jobPaintsMs = options.jobPaintsMs;
    {
        const brevanto::OleApartment apartment;
        samples.journalLineMs = JournalLineUs() / 1000.0;
    }
    // One run of each first, not counted: it loads what later runs find in the caches.
    RunBrevanto(paths, samples, false);
    RunFloor(paths, samples, false);
    RunFloor(paths, samples, false, FloorWith::Thread);
    RunFloor(paths, samples, false, FloorWith::Controls);
    RunPeer(paths, samples, false);
    RunCheck(paths, samples, false);
    for (int run = 0; run < options.runs; ++run) {
        RunBrevanto(paths, samples, true);
        RunFloor(paths, samples, true);
        RunFloor(paths, samples, true, FloorWith::Thread);
        RunFloor(paths, samples, true, FloorWith::Controls);
        RunPeer(paths, samples, true);
        RunCheck(paths, samples, true);
    }

    std::printf("Brevanto.exe (x64) against the x64 stand-ins, %d runs after one not counted\n",
                options.runs);
    std::printf("  measured: %ls\n", paths.brevanto.c_str());
    const ExeSizes sizes{support::FileSize(options.i686Exe), support::FileSize(paths.brevanto)};
    PrintTable(samples, sizes);
    std::printf("\nCalls the stand-ins recorded, the same from Brevanto.exe and the peer in every "
                "run (%zu lines):\n",
                samples.referenceCalls.size());
    for (const std::string& call : samples.referenceCalls)
        std::printf("  %s\n", call.c_str());
    for (const std::string& problem : samples.problems)
        std::printf("RUN FAILED: %s\n", problem.c_str());

    std::printf("\nTargets\n");
    const bool met = CheckTargets(samples, sizes);
    if (!samples.problems.empty())
        return 2;
    return met ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: brevanto_bench.exe [--runs N] [--exe PATH] [--i686-exe PATH] "
                             "[--job-paints-ms MS]\n");
        return 2;
    }
    try {
        return Bench(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "brevanto_bench: %s\n", error.what());
        return 2;
    }
}
