#pragma once

#include <string>

namespace brevanto::support {

// A file's or folder's DACL as the system writes it in SDDL ("D:PAI(A;...)..."), control flags
// and all; empty when it cannot be read.
std::wstring DaclText(const std::wstring& path);

} // namespace brevanto::support
