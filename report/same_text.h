#pragma once

#include <algorithm>
#include <cwctype>
#include <string_view>

namespace brevanto {

// Paths, file names, class names and threading models compare as Windows compares them: without
// regard to case. Without Windows, so that the rules that compare them are tested natively.
inline bool SameText(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

} // namespace brevanto
