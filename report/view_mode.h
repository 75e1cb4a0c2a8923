#pragma once

#include "report/settings_store.h"

namespace brevanto {

// How the viewer is set up once the view mode is given to it: view only, or printing and
// exporting by the two switches. Each reads its setting at the moment it is asked, as a number,
// and throws RunError naming the setting when it holds no number. The report job decides through
// these, and so does the workstation check when it predicts what the job will do.
bool IsViewOnly(const SettingsStore& store);
bool PrintSwitchIsOn(const SettingsStore& store);
bool ExportSwitchIsOn(const SettingsStore& store);

} // namespace brevanto
