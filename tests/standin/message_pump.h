#pragma once

#include <windows.h>

namespace brevanto::standin {

enum class QuitHandling {
    Repost,  // the pumping stops and WM_QUIT is posted again, so the caller's loop still sees it
    Swallow, // WM_QUIT is dropped and the pumping goes on, as a component whose own loop eats it
};

// Serves the calling thread's windows for the given time, as a component showing its own UI
// would. Returns false if the pumping stopped early for WM_QUIT.
bool PumpMessagesFor(DWORD milliseconds, QuitHandling quit = QuitHandling::Repost);

} // namespace brevanto::standin
