#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace brevanto {

// A drive and the device the system maps it to ("C:" and "\Device\HarddiskVolume3").
struct DriveDevice {
    wchar_t letter = 0;
    std::wstring_view device;
};

// A mapped image's file as the system names it, an NT path (\Device\HarddiskVolume3\Lab\x.dll on
// Windows, \??\Z:\Lab\x.dll under Wine, \Device\Mup\server\share\x.dll on a share), as a person
// knows it: C:\Lab\x.dll, Z:\Lab\x.dll, \\server\share\x.dll. A device no drive is mapped to
// leaves the NT path as it is. Writes the path and a NUL into out, allocating nothing (a crash
// report names the faulting module with it), and gives its length; 0 when it does not fit.
std::size_t DosPathOf(std::wstring_view ntPath, std::span<const DriveDevice> drives, wchar_t* out,
                      std::size_t capacity);

} // namespace brevanto
