#pragma once

#include <windows.h>

namespace brevanto {

// Serves every message already waiting for this thread and returns without waiting for more.
// Keyboard messages for dialogWindow go through its dialog navigation (Tab, Escape, access keys).
// A WM_QUIT is posted again and ends the run, so the outer message loop still sees it.
void RunPendingMessages(HWND dialogWindow);

} // namespace brevanto
