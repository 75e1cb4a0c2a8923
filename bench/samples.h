#pragma once

#include <string>
#include <vector>

namespace brevanto::bench {

// Times in milliseconds, memory in bytes: one sample per run.
struct ProgramSamples {
    std::vector<double> startToShown;  // process start to window shown
    std::vector<double> shownToFirst;  // window shown to first component call
    std::vector<double> startToFirst;  // process start to first component call
    std::vector<double> jobSpan;       // first to last component call of the job
    std::vector<double> jobComponents; // the part of it inside the components
    std::vector<double> jobOwn;        // the rest: the caller's own time
    std::vector<double> jobOwnNet;     // the same less the stand-ins' journal writing in it
    std::vector<double> lastToEnd;     // last log line to process ended
    std::vector<double> startToEnd;    // process start to process ended
    std::vector<double> peakWorkingSet;
    std::vector<double> peakPrivate;
};

struct BenchSamples {
    ProgramSamples brevanto;
    ProgramSamples floor;
    ProgramSamples floorThread;   // bench_floor.exe --thread
    ProgramSamples floorControls; // bench_floor.exe --controls
    ProgramSamples peer;
    ProgramSamples check; // brevanto-check.exe: startToEnd only
    // Runs that did not go as they should, one line each; any of them fails the benchmark.
    std::vector<std::string> problems;
    // Journal lines of Brevanto's first run, which every other run must repeat.
    std::vector<std::string> referenceCalls;
    // What a stand-in spends writing one journal line after its exit stamp, in milliseconds.
    double journalLineMs = 0;
    // The median the log box's paints cost inside the job's span (before LoginUser, the viewer's
    // creation and Show_Results), as bench_log_probe.exe measured it; 0 when not measured.
    double jobPaintsMs = 0;
};

} // namespace brevanto::bench
