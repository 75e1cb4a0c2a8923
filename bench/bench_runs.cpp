#include "bench/bench_runs.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>

#include "bench/job_figures.h"
#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/support/child_process.h"
#include "tests/support/clock.h"
#include "tests/support/journal_file.h"

namespace brevanto::bench {
namespace {

constexpr DWORD kRunTimeoutMs = 30000;

using support::Ms;
using support::NowUs;

// What the driver saw of one child process, on the support library's clock.
struct Observed {
    std::int64_t startUs = 0; // just before CreateProcess
    std::int64_t shownUs = 0; // its window first seen visible (0: none seen)
    std::int64_t endUs = 0;   // the driver saw it end
    // The largest figures read while it ran (GetProcessMemoryInfo).
    std::uint64_t peakWorkingSet = 0;
    std::uint64_t peakPrivate = 0;
    DWORD exitStatus = 0;
    bool timedOut = false;
};

// Often enough to see the private bytes just before the end; rare enough not to load the
// wineserver, which answers each reading from /proc.
constexpr DWORD kMemoryPollMs = 5;

void ReadMemory(HANDLE query, Observed& observed) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(query, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return; // not up yet, or already gone
    observed.peakWorkingSet =
        std::max<std::uint64_t>(observed.peakWorkingSet, counters.PeakWorkingSetSize);
    // Wine leaves PrivateUsage 0 for another process. PagefileUsage is the same figure on Windows
    // (the private bytes committed), and Wine fills it with the process's private memory.
    const std::uint64_t privateBytes =
        counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    observed.peakPrivate = std::max<std::uint64_t>(observed.peakPrivate, privateBytes);
}

// Starts the program (the whole command line, program name first) in the folder, polls for its
// window of the class every millisecond, as the end-to-end driver does, unless it shows none (an
// empty class), then reads its memory every few milliseconds until it ends; kills it after
// kRunTimeoutMs.
Observed RunAndWatch(const std::wstring& application, const std::wstring& commandLine,
                     const std::wstring& folder, const std::wstring& windowClass) {
    support::ChildProcess child(application, commandLine, folder);
    Observed observed;
    observed.startUs = child.StartUs();
    const UniqueHandle query(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, child.Id()));
    const std::int64_t deadline = observed.startUs + std::int64_t{kRunTimeoutMs} * 1000;

    // Nothing else runs in the driver until the window is there, so start-up is not slowed.
    if (!windowClass.empty() && child.WaitForWindow(windowClass, kRunTimeoutMs))
        observed.shownUs = NowUs();
    while (!child.WaitForExit(kMemoryPollMs)) {
        ReadMemory(query.Get(), observed);
        if (NowUs() >= deadline) {
            observed.timedOut = true;
            child.Kill();
            break;
        }
    }
    observed.endUs = child.EndUs();
    observed.exitStatus = child.ExitStatus();
    return observed;
}

bool Ended(const Observed& observed, const char* what, BenchSamples& samples) {
    if (observed.timedOut) {
        samples.problems.push_back(std::string(what) + " did not end within " +
                                   std::to_string(kRunTimeoutMs / 1000) + " s");
        return false;
    }
    if (observed.exitStatus != 0) {
        samples.problems.push_back(std::string(what) + " ended with status " +
                                   std::to_string(observed.exitStatus));
        return false;
    }
    return true;
}

void KeepJob(const JobFigures& job, double journalLineMs, ProgramSamples& program) {
    program.jobSpan.push_back(Ms(job.SpanUs()));
    program.jobComponents.push_back(Ms(job.componentsUs));
    program.jobOwn.push_back(Ms(job.OwnUs()));
    program.jobOwnNet.push_back(Ms(job.OwnUs()) - job.journalWrites * journalLineMs);
}

void KeepMemory(const Observed& observed, ProgramSamples& program) {
    program.peakWorkingSet.push_back(static_cast<double>(observed.peakWorkingSet));
    program.peakPrivate.push_back(static_cast<double>(observed.peakPrivate));
}

} // namespace

void RunBrevanto(const BenchPaths& paths, BenchSamples& samples, bool keep) {
    const support::JournalFile journal;
    const std::wstring& exe = paths.brevanto;
    const Observed observed =
        RunAndWatch(exe, L"\"" + exe + L"\"", paths.folder, L"BrevantoMainWindow");
    if (!Ended(observed, "Brevanto.exe", samples))
        return;
    const auto calls = journal.Read();
    const JobFigures job = MeasureJob(calls);
    if (!observed.shownUs || !job.complete) {
        samples.problems.push_back(observed.shownUs ? "Brevanto.exe did not finish its job"
                                                    : "Brevanto.exe showed no window");
        return;
    }
    const auto sequence = CallSequence(calls);
    if (samples.referenceCalls.empty()) {
        samples.referenceCalls = sequence;
    } else if (const std::string difference = FirstDifference(samples.referenceCalls, sequence);
               !difference.empty()) {
        samples.problems.push_back("Brevanto.exe's calls changed between runs: " + difference);
        return;
    }
    if (!keep)
        return;
    ProgramSamples& program = samples.brevanto;
    program.startToShown.push_back(Ms(observed.shownUs - observed.startUs));
    program.shownToFirst.push_back(Ms(job.firstCallUs - observed.shownUs));
    program.startToFirst.push_back(Ms(job.firstCallUs - observed.startUs));
    KeepJob(job, samples.journalLineMs, program);
    // The last log line follows Show_Results' return at once.
    program.lastToEnd.push_back(Ms(observed.endUs - job.lastCallUs));
    program.startToEnd.push_back(Ms(observed.endUs - observed.startUs));
    KeepMemory(observed, program);
}

void RunFloor(const BenchPaths& paths, BenchSamples& samples, bool keep, FloorWith with) {
    const std::wstring exe = paths.folder + L"\\bench_floor.exe";
    const wchar_t* option = with == FloorWith::Thread     ? L" --thread"
                            : with == FloorWith::Controls ? L" --controls"
                                                          : L"";
    const std::string what = "bench_floor.exe" + Utf8(option);
    const Observed observed =
        RunAndWatch(exe, L"\"" + exe + L"\"" + option, paths.folder, L"BrevantoBenchFloor");
    if (!Ended(observed, what.c_str(), samples))
        return;
    if (!observed.shownUs) {
        samples.problems.push_back(what + " showed no window");
        return;
    }
    if (!keep)
        return;
    ProgramSamples& program = with == FloorWith::Thread     ? samples.floorThread
                              : with == FloorWith::Controls ? samples.floorControls
                                                            : samples.floor;
    program.startToShown.push_back(Ms(observed.shownUs - observed.startUs));
    program.startToEnd.push_back(Ms(observed.endUs - observed.startUs));
    KeepMemory(observed, program);
}

void RunPeer(const BenchPaths& paths, BenchSamples& samples, bool keep) {
    const support::JournalFile journal;
    const std::wstring script = paths.folder + L"\\brevanto_peer.vbs";
    const Observed observed =
        RunAndWatch(paths.cscript, L"cscript.exe //nologo \"" + script + L"\"", paths.folder, L"");
    if (!Ended(observed, "the peer (cscript.exe brevanto_peer.vbs)", samples))
        return;
    if (samples.referenceCalls.empty()) {
        samples.problems.push_back("no run of Brevanto.exe to compare the peer's calls with");
        return;
    }
    // cscript ends with 0 even when the script failed: the journal tells.
    const auto calls = journal.Read();
    const JobFigures job = MeasureJob(calls);
    const std::string difference = FirstDifference(samples.referenceCalls, CallSequence(calls));
    if (!job.complete || !difference.empty()) {
        samples.problems.push_back("the peer's calls differ from Brevanto.exe's: " +
                                   (difference.empty() ? "its job is incomplete" : difference));
        return;
    }
    if (!keep)
        return;
    ProgramSamples& program = samples.peer;
    program.startToFirst.push_back(Ms(job.firstCallUs - observed.startUs));
    KeepJob(job, samples.journalLineMs, program);
    program.startToEnd.push_back(Ms(observed.endUs - observed.startUs));
    KeepMemory(observed, program);
}

void RunCheck(const BenchPaths& paths, BenchSamples& samples, bool keep) {
    const std::wstring exe = paths.folder + L"\\brevanto-check.exe";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const UniqueFile nowhere(
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    support::ChildProcess check(exe, L"\"" + exe + L"\"", paths.folder, nowhere.Get());
    if (!check.WaitForExit(kRunTimeoutMs)) {
        samples.problems.push_back("brevanto-check.exe did not end within " +
                                   std::to_string(kRunTimeoutMs / 1000) + " s");
        return;
    }
    // 1 is a workstation with problems, which the sample one may have (no export folder yet).
    if (check.ExitStatus() > 1) {
        samples.problems.push_back("brevanto-check.exe could not run, status " +
                                   std::to_string(check.ExitStatus()));
        return;
    }
    if (keep)
        samples.check.startToEnd.push_back(Ms(check.EndUs() - check.StartUs()));
}

} // namespace brevanto::bench
