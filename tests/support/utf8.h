#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace brevanto::support {

// UTF-16 text as UTF-8, for messages and printed output.
inline std::string Utf8(std::wstring_view text) {
    const int length = static_cast<int>(text.size());
    std::string utf8(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    return utf8;
}

} // namespace brevanto::support
