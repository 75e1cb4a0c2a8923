#pragma once

#include <string_view>

namespace brevanto::runner {

// Writes one line (UTF-8) to the standard output at once, so that a runner that dies next still
// leaves it behind.
void Say(std::string_view line);

} // namespace brevanto::runner
