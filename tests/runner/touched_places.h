#pragma once

#include <string>

#include "tests/runner/core/run_state.h"

namespace brevanto::runner {

// The registry trees the suite touches, as they are now: both components' ProgIDs, CLSIDs and
// AppIDs in the machine's and the user's classes, in both views; the settings store of the
// product family (VB and VBA Program Settings); LocalDumps; Brevanto's remembered folder; the
// Brevanto event source. And the folders the tests make, whether each is there.
void SnapshotTouchedPlaces(RunState& state);

// Puts the trees back and removes the folders, and entries, that were not there. Carries on past
// a failure and returns each one.
std::vector<std::string> RestoreTouchedPlaces(const RunState& state);

// The run state in RUNDIR (run-state.txt), written whole each time so that --restore finds the
// last one; read back, or a RunnerError.
void WriteRunState(const std::wstring& runFolder, const RunState& state);
RunState ReadRunState(const std::wstring& runFolder);

} // namespace brevanto::runner
