#pragma once

#include <string>

namespace brevanto {

// The running exe's FileVersion text from its version record ("8.00.0034"); empty without one.
std::wstring OwnFileVersion();

} // namespace brevanto
