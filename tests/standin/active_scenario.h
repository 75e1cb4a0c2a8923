#pragma once

#include "scenario.h"

namespace brevanto::standin {

// Reads BREVANTO_STANDIN_SCENARIO; called once when the DLL is loaded.
void LoadScenarioFromEnvironment();

const Scenario& ActiveScenario();

} // namespace brevanto::standin
