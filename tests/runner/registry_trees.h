#pragma once

#include <windows.h>

#include <string>

#include "tests/runner/core/run_state.h"

namespace brevanto::runner {

// A registry tree as it is now: root "HKLM" or "HKCU", view "32" or "64", its path below the root.
SnapshotTree ReadTree(const std::string& root, const std::string& view, const std::string& path);

// Puts the tree back as the snapshot holds it (removed when it was absent), unless it is so
// already: a standard user's run leaves the machine's keys alone, and may not write them either.
// Throws RunnerError when it cannot.
void RestoreTree(const SnapshotTree& snapshot);

// The root's handle and the view's flag for a tree's names.
HKEY RootKey(const std::string& root);
REGSAM ViewFlag(const std::string& view);

} // namespace brevanto::runner
