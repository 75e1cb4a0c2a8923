#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brevanto {

// Text longer than this is shortened before it goes into the window: the log box and the caption
// re-lay out their whole text on every change, and a megabyte-long line would stall the program
// (and its exit timer) for minutes. The components always get the full value.
inline constexpr std::size_t kDisplayLimit = 1024;

// The text itself when it has at most limit code units; otherwise its first limit code units
// (never half a surrogate pair) followed by "... (<length> characters)".
std::wstring ShortenForDisplay(std::wstring_view text, std::size_t limit = kDisplayLimit);

} // namespace brevanto
