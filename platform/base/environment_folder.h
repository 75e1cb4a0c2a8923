#pragma once

#include <string>

namespace brevanto {

// A folder an environment variable names ("ProgramFiles", "TEMP"), as set; empty when it is not
// set or longer than a path may be.
std::wstring EnvironmentFolder(const wchar_t* name);

} // namespace brevanto
