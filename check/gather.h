#pragma once

#include "check/workstation_facts.h"

namespace brevanto::check {

// Looks at this workstation as the current user sees it: the host, each component class (its
// objects are created, their members looked up by name and released, nothing else, in watched
// processes of their own), the settings store and the export folder. Throws RunError when the
// check cannot start those processes.
WorkstationFacts GatherFacts();

} // namespace brevanto::check
