#pragma once

#include <windows.h>

namespace brevanto {

// The DPI the window is shown at (96 when the system cannot tell per window).
UINT WindowDpi(HWND window);

// The outer window size that gives the client size asked for, at the given DPI.
SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

} // namespace brevanto
