#pragma once

#include <string>

namespace brevanto {

// The Windows version as the system reports it, whatever the program's manifest claims, e.g.
// "10.0.19045"; under Wine followed by " (Wine 8.0)".
std::wstring WindowsVersionText();

// Whether this process runs under Wine, which shows some things unlike Windows.
bool RunsUnderWine();

} // namespace brevanto
