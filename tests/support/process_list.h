#pragma once

#include <windows.h>

#include <optional>
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

// The command line another process was started with; nothing when it cannot be read (the
// process has ended, this account may not query it, or the system cannot tell: Windows gives it
// from 8.1 on, Wine 8 not at all).
std::optional<std::wstring> ProcessCommandLine(DWORD processId);

} // namespace brevanto::support
