#pragma once

#include <windows.h>

#include <string>

#include "platform/base/unique_resource.h"

namespace brevanto {

// A security descriptor made from its SDDL text; empty when the text is empty or no descriptor
// could be made (GetLastError says why).
UniqueLocal DescriptorFromSddl(const std::wstring& sddl);

enum class FolderMade {
    Made,
    There,  // something of that name was there already, or came first
    Failed, // GetLastError says why
};

// Makes one folder, its parent being there, with the descriptor given; with none, it gets what
// its parent passes on.
FolderMade MakeOneFolder(const std::wstring& path, PSECURITY_DESCRIPTOR descriptor);

} // namespace brevanto
