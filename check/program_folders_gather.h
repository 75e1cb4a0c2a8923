#pragma once

#include <vector>

#include "check/core/workstation_facts.h"

namespace brevanto::check {

// Judges the program folder, each component's folder, the folders above them and the programs and
// DLLs in them that run, as the package judges its install folder: only SYSTEM, Administrators,
// TrustedInstaller and the domain's administrators may change them, and no folder on the way may
// be a link. The account running the check is judged like any other: an administrator's
// unelevated session holds the same account.
std::vector<ProgramFolderFacts> GatherProgramFolders(const WorkstationFacts& facts);

} // namespace brevanto::check
