#pragma once

#include <string>

#include "tests/runner/core/run_state.h"

namespace brevanto::runner {

// The stand-ins of a build, registered as regsvr32 of their own bitness registers them
// (/n /i:machine or /i:user, the stand-ins' DllInstall): per machine when the runner is elevated,
// per user otherwise. An elevated process, and an administrator with UAC off, reads the machine's
// classes alone; a standard user's reads the user's over the machine's. Throws RunnerError.
Registration RegisterStandins(const std::string& arch, const std::wstring& dll, bool elevated);

// Undoes a registration; false when regsvr32 failed.
bool UnregisterStandins(const Registration& registration);

} // namespace brevanto::runner
