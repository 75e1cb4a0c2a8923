#pragma once

#include "tests/runner/core/machine_guard.h"

namespace brevanto::runner {

// What the guard looks at: both ProgIDs in the machine's and the user's classes in both views,
// products with Brevanto's UpgradeCode, the product family's settings store, LocalDumps.
MachineSeen LookAtMachine();

} // namespace brevanto::runner
