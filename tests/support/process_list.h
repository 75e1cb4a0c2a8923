#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace brevanto::support {

struct ProcessEntry {
    DWORD id = 0;
    DWORD parentId = 0;
};

// The running processes whose image file is named imageName ("winedbg.exe"), ignoring case,
// from a toolhelp snapshot: under Wine, those of this prefix. Throws std::runtime_error when no
// snapshot can be taken.
std::vector<ProcessEntry> ProcessesNamed(const std::wstring& imageName);

} // namespace brevanto::support
