#pragma once

#include <string>
#include <vector>

namespace brevanto::check {

// A value as the report quotes it: "ViewMode holds "x"".
inline std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// A list as the report gives it: "a, b, c".
inline std::wstring Joined(const std::vector<std::wstring>& items,
                           const wchar_t* separator = L", ") {
    std::wstring text;
    for (const auto& item : items)
        text += (text.empty() ? L"" : separator) + item;
    return text;
}

} // namespace brevanto::check
