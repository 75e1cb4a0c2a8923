#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace brevanto {

// The header fields of a PE file (exe or DLL) that say which processes can load it and what it
// asks of the process.
struct PeHeader {
    WORD machine = 0; // IMAGE_FILE_MACHINE_I386, IMAGE_FILE_MACHINE_AMD64, ...
    WORD dllCharacteristics = 0;

    // 32 or 64 for the two machines a Windows desktop runs; 0 for any other.
    int Bits() const;
};

// Nothing when the file cannot be read or is not a PE file.
std::optional<PeHeader> ReadPeHeader(const std::wstring& path);

} // namespace brevanto
