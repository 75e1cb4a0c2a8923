#pragma once

#include <string_view>

namespace brevanto::standin {

// What the scenario asks the class factory to do before it makes an object of the class the
// journal calls object: start a thread of its own, take a lock for good, block (journaling a
// block line first), show an unanswered box, crash.
void ActOutCreationFaults(std::string_view object);

} // namespace brevanto::standin
