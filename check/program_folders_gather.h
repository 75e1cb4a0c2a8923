#pragma once

#include <vector>

#include "check/core/workstation_facts.h"

namespace brevanto::check {

// Judges the permissions of the program folder and of each in-process component's DLL folder, as
// the package does before it installs: the account running the check is trusted only when it
// is an administrator with its rights in effect.
std::vector<ProgramFolderFacts> GatherProgramFolders(const WorkstationFacts& facts);

} // namespace brevanto::check
