#pragma once

#include <windows.h>

#include <string_view>

namespace brevanto::standin {

// DPI awareness in the journal's spelling ("unaware", "system", "per-monitor"), or "n/a" where
// Windows has no such functions (before Windows 10 1607).
std::string_view ThreadDpiAwareness();
std::string_view WindowDpiAwareness(HWND window);

// The window's DPI; 96 where Windows cannot say.
UINT WindowDpi(HWND window);

} // namespace brevanto::standin
