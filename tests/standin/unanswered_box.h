#pragma once

#include <string_view>

namespace brevanto::standin {

// Journals a box line (where=call|create), then shows a message box with no owner, as a
// component asking its user something. Returns when someone answers it, which in an unattended
// run nobody does; meanwhile its modal loop serves the calling thread's messages.
void ShowUnansweredBox(std::string_view object, std::string_view member,
                       std::string_view where) noexcept;

} // namespace brevanto::standin
