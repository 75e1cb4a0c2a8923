#pragma once

#include <string_view>

namespace brevanto::standin {

// Journals an overflow line (event=start), then recurses until the calling thread's stack
// overflows, inside a frame-based exception handler of its own: the Visual Basic runtime has one
// around a component's code and turns the overflow into its trappable error. When the handler
// took the overflow it journals event=handled and returns true, with the stack usable again.
bool OverflowUnderOwnHandler(std::string_view object, std::string_view member) noexcept;

} // namespace brevanto::standin
