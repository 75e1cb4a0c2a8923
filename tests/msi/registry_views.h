#pragma once

#include <windows.h>

#include <vector>

namespace brevanto::msi {

// True when this 32-bit process runs on 64-bit Windows, which has a second registry view.
inline bool HasTwoViews() {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    return wow64;
}

// The registry views there are, as flags for RegOpenKeyEx.
inline std::vector<REGSAM> RegistryViews() {
    if (!HasTwoViews())
        return {0};
    return {KEY_WOW64_32KEY, KEY_WOW64_64KEY};
}

} // namespace brevanto::msi
