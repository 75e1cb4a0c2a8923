// brevanto_bench.exe: runs Brevanto.exe, the floor program and the peer script N times each,
// unattended, against the stand-in components, and prints the figures with the targets.
// Usage: brevanto_bench.exe [--runs N] [--i686-exe PATH]
// Exit status: 0 all targets met, 1 a target missed, 2 a run went wrong.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "bench/bench_report.h"
#include "bench/bench_runs.h"
#include "bench/bench_setup.h"
#include "bench/journal_cost.h"
#include "platform/ole_apartment.h"

namespace {

using namespace brevanto::bench;

struct Options {
    int runs = 20;
    std::wstring i686Exe;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--runs" && i + 1 < argc) {
            options.runs = std::wcstol(argv[++i], nullptr, 10);
        } else if (arg == L"--i686-exe" && i + 1 < argc) {
            options.i686Exe = argv[++i];
        } else {
            return false;
        }
    }
    return options.runs > 0;
}

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full(path, length);
    return full.substr(0, full.find_last_of(L'\\'));
}

std::int64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: brevanto_bench.exe [--runs N] [--i686-exe PATH]\n");
        return 2;
    }
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const BenchPaths paths{OwnFolder(), std::wstring(system) + L"\\cscript.exe"};
    if (!RegisterStandins(paths.folder) || !StoreSampleSettings()) {
        std::fprintf(stderr, "cannot register the stand-ins or store the settings\n");
        return 2;
    }

    BenchSamples samples;
    {
        const brevanto::OleApartment apartment;
        samples.journalLineMs = JournalLineUs() / 1000.0;
    }
    // One run of each first, not counted: it loads what later runs find in the caches.
    RunBrevanto(paths, samples, false);
    RunFloor(paths, samples, false);
    RunPeer(paths, samples, false);
    for (int run = 0; run < options.runs; ++run) {
        RunBrevanto(paths, samples, true);
        RunFloor(paths, samples, true);
        RunPeer(paths, samples, true);
    }

    std::printf("Brevanto.exe (x64) against the x64 stand-ins, %d runs after one not counted\n",
                options.runs);
    PrintTable(samples, {FileSize(options.i686Exe), FileSize(paths.folder + L"\\Brevanto.exe")});
    std::printf("\nCalls the stand-ins recorded, the same from Brevanto.exe and the peer in every "
                "run (%zu lines):\n",
                samples.referenceCalls.size());
    for (const std::string& call : samples.referenceCalls)
        std::printf("  %s\n", call.c_str());
    for (const std::string& problem : samples.problems)
        std::printf("RUN FAILED: %s\n", problem.c_str());

    std::printf("\nTargets\n");
    const bool met = CheckTargets(
        samples, {FileSize(options.i686Exe), FileSize(paths.folder + L"\\Brevanto.exe")});
    if (!samples.problems.empty())
        return 2;
    return met ? 0 : 1;
}
