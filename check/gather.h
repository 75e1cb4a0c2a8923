#pragma once

#include "check/core/workstation_facts.h"

namespace brevanto::check {

// Looks at this workstation as the current user sees it: the host, each component class (its
// objects are created, their members looked up by name and released, nothing else, in watched
// processes of their own; as a service account only when createAsThisAccount), the account, the
// settings store and the export folder. Throws RunError when the check cannot start those
// processes.
WorkstationFacts GatherFacts(bool createAsThisAccount);

} // namespace brevanto::check
