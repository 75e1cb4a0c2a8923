#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace brevanto {

// UTF-16 text as UTF-8, for output to files, pipes and messages.
inline std::string Utf8(std::wstring_view text) {
    const int length = static_cast<int>(text.size());
    std::string utf8(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    return utf8;
}

// UTF-8 bytes as UTF-16 text.
inline std::wstring FromUtf8(std::string_view bytes) {
    const int length = static_cast<int>(bytes.size());
    std::wstring text(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), length, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), length, text.data(),
                        static_cast<int>(text.size()));
    return text;
}

} // namespace brevanto
