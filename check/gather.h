#pragma once

#include "check/core/workstation_facts.h"

namespace brevanto::check {

// Looks at this workstation as the current user sees it: the host, the account, each component
// class, the folders Brevanto runs code from (judged first), then each class's creation (its
// objects are created, their members looked up by name and released, nothing else, in watched
// processes of their own; as a service account only when createAsThisAccount, and never from a
// folder or file non-administrators can change), the settings store, the export folder and error
// reporting. Throws RunError when the check cannot start those processes.
WorkstationFacts GatherFacts(bool createAsThisAccount);

} // namespace brevanto::check
