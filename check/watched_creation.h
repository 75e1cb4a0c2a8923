#pragma once

#include <string>
#include <vector>

#include "check/core/creation_protocol.h"

namespace brevanto::check {

// Runs a creation process for each class (this exe again, with --create-class <ProgID>), all
// side by side, and watches them: each may take timeLimitMs from the moment the first was started,
// and is ended when it has not finished by then. The processes are ended with the check, too, if
// it should end first. Throws RunError when a process cannot be started.
std::vector<CreationRun> RunWatchedCreations(const std::vector<std::wstring>& progIds,
                                             unsigned timeLimitMs);

} // namespace brevanto::check
