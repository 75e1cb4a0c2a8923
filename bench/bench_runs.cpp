#include "bench/bench_runs.h"

#include <windows.h>

#include "bench/child_process.h"
#include "bench/job_figures.h"

namespace brevanto::bench {
namespace {

constexpr DWORD kRunTimeoutMs = 30000;

double Ms(std::int64_t us) {
    return static_cast<double>(us) / 1000.0;
}

// A fresh journal file for the stand-ins, named in the environment the child inherits.
class Journal {
public:
    Journal() {
        static int counter = 0;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"brevanto-bench-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(++counter) + L".txt";
        DeleteFileW(path_.c_str());
        SetEnvironmentVariableW(L"BREVANTO_STANDIN_JOURNAL", path_.c_str());
        SetEnvironmentVariableW(L"BREVANTO_STANDIN_SCENARIO", nullptr);
    }
    ~Journal() {
        SetEnvironmentVariableW(L"BREVANTO_STANDIN_JOURNAL", nullptr);
        DeleteFileW(path_.c_str());
    }
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    std::vector<e2e::JournalCall> Read() const { return e2e::ReadJournal(path_); }

private:
    std::wstring path_;
};

bool Ended(const Observed& observed, const char* what, BenchSamples& samples) {
    if (!observed.started) {
        samples.problems.push_back(std::string(what) + " did not start, error " +
                                   std::to_string(observed.startError));
        return false;
    }
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
    const Journal journal;
    const std::wstring exe = paths.folder + L"\\Brevanto.exe";
    const Observed observed =
        RunAndWatch({exe, L"\"" + exe + L"\"", paths.folder, L"BrevantoMainWindow", kRunTimeoutMs});
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

void RunFloor(const BenchPaths& paths, BenchSamples& samples, bool keep) {
    const std::wstring exe = paths.folder + L"\\bench_floor.exe";
    const Observed observed =
        RunAndWatch({exe, L"\"" + exe + L"\"", paths.folder, L"BrevantoBenchFloor", kRunTimeoutMs});
    if (!Ended(observed, "bench_floor.exe", samples))
        return;
    if (!observed.shownUs) {
        samples.problems.push_back("bench_floor.exe showed no window");
        return;
    }
    if (!keep)
        return;
    samples.floor.startToShown.push_back(Ms(observed.shownUs - observed.startUs));
    samples.floor.startToEnd.push_back(Ms(observed.endUs - observed.startUs));
    KeepMemory(observed, samples.floor);
}

void RunPeer(const BenchPaths& paths, BenchSamples& samples, bool keep) {
    const Journal journal;
    const std::wstring script = paths.folder + L"\\brevanto_peer.vbs";
    const Observed observed =
        RunAndWatch({paths.cscript, L"cscript.exe //nologo \"" + script + L"\"", paths.folder, L"",
                     kRunTimeoutMs});
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

} // namespace brevanto::bench
