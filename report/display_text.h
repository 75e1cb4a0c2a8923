#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brevanto {

// Text longer than this is shortened before it goes into the window: the log box and the caption
// re-lay out their whole text on every change, and a megabyte-long line would stall the program
// (and its exit timer) for minutes. The components always get the full value.
inline constexpr std::size_t kDisplayLimit = 1024;

// The text as the window shows it. Each NUL becomes a blank, since a window's text ends at its
// first NUL and would lose what follows. A text of more than limit code units is cut to its
// first limit code units (never half a surrogate pair) followed by "... (<length> characters)".
std::wstring ForDisplay(std::wstring_view text, std::size_t limit = kDisplayLimit);

} // namespace brevanto
