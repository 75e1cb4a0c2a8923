#pragma once

#include <string>

namespace brevanto::standin {

// The variable's value in this process, or empty when it is not set.
std::wstring EnvironmentValue(const wchar_t* name);

} // namespace brevanto::standin
