#pragma once

#include <string>
#include <vector>

namespace brevanto::check {

// A value as the report quotes it: "ViewMode holds "x"".
inline std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// A list as the report gives it: "a, b, c".
inline std::wstring Joined(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const auto& item : items)
        text += (text.empty() ? L"" : L", ") + item;
    return text;
}

} // namespace brevanto::check
