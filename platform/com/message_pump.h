#pragma once

#include <windows.h>

namespace brevanto {

// Serves every message already waiting for this thread and returns without waiting for more.
// Keyboard messages for dialogWindow go through its dialog navigation (Tab, Escape, access keys).
// A WM_QUIT is posted again and ends the run, so the outer message loop still sees it.
//
// Runs in the components' world (a DPI-unaware thread, the process default activation context):
// what it serves of theirs, a thread timer's procedure or a hook, runs as their older host ran
// it, not in the awareness of our window procedure that the job calls this from. Windows
// switches the thread back to our window's awareness and context around our own procedure.
void RunPendingMessages(HWND dialogWindow);

} // namespace brevanto
