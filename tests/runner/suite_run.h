#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/runner/core/ledger.h"

namespace brevanto::runner {

// One driver of one build, run until each of its tests has a result.
struct SuiteRun {
    std::string arch;    // "i686" or "x64"
    std::wstring driver; // the driver's full path, in its build's folder
    std::string filter;  // a GoogleTest filter; empty for all
    int shardIndex = 0;
    int shardCount = 1;
    int watchdogSeconds = 300;
    std::wstring logs;      // where each start's output goes
    std::wstring evidence;  // where a failing test's evidence goes
    std::wstring drop;      // the folder named in BREVANTO_EVIDENCE_DROP
    std::wstring msiOutput; // the package tests' logs, for their evidence; empty otherwise
    std::vector<std::pair<std::wstring, std::wstring>> variables;
};

// Lists the driver's tests, takes this run's share, and runs the driver on them, again with
// those that remain after a driver that died or was ended by the watchdog, as long as each start
// brings at least one result. A test that started and did not end fails with what ended its
// driver; one that never reported fails too. Each failing test's output, the journal and the
// check's output its support dropped, and its msiexec logs go to the evidence folder.
std::vector<TestRecord> RunSuite(const SuiteRun& run);

} // namespace brevanto::runner
