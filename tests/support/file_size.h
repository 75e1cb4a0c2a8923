#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace brevanto::support {

// Bytes in the file, or nothing when it cannot be read.
inline std::optional<std::uint64_t> FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace brevanto::support
