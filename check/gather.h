#pragma once

#include "check/workstation_facts.h"

namespace brevanto::check {

// Looks at this workstation as the current user sees it: the host, each component class (the
// objects are created and released, nothing else), the settings store and the export folder.
// OLE must be started on the calling thread.
WorkstationFacts GatherFacts();

} // namespace brevanto::check
