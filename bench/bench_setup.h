#pragma once

#include <string>

namespace brevanto::bench {

// Registers the stand-in components (BrevantoStandin.dll in folder) for this prefix's user.
bool RegisterStandins(const std::wstring& folder);

// Replaces the program's stored settings with a lab workstation's sample (the one scripts/run
// uses), so the job takes its longer branch: print mode, print and export switches.
bool StoreSampleSettings();

} // namespace brevanto::bench
