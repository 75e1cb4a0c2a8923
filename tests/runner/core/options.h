#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brevanto::runner {

// The runner's command line (usage in UsageText).
struct Options {
    bool strict = false;
    bool disposableMachine = false;
    bool checkMachine = false;
    bool help = false;
    std::string restore;             // --restore RUNDIR
    std::vector<std::string> archs;  // i686, x64; empty: each this system runs
    std::vector<std::string> suites; // wine, msi; empty: both
    int shardIndex = 0;              // 0-based; --shard takes K/N with K from 1
    int shardCount = 1;
    std::string filter; // a GoogleTest filter applied to each driver's listing
    int watchdogSeconds = 300;
    std::string results;    // the run's folder: its state, logs, JUnit and evidence
    std::string junit;      // default: <results>\junit.xml
    std::string evidence;   // default: <results>\evidence
    std::string allowances; // default: <bundle>\wine_allowances.txt
    std::string bundle;     // default: the runner's folder
    std::string packages;   // default: <bundle>\packages
    // Under Wine, the file the runner's standard error goes to: Wine writes a program's trace to
    // the Unix standard error it inherited, so the tests that read one are told this file.
    std::string wineTrace;
    // One driver run from where it is, as the one suite of its --arch: no copy, no registration,
    // nothing snapshotted (for the runner's self-test, or a driver run by hand).
    std::string driver;
};

// The options, or nothing with error saying what is wrong.
std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error);

std::string UsageText();

} // namespace brevanto::runner
