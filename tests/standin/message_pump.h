#pragma once

#include <windows.h>

namespace brevanto::standin {

// Serves the calling thread's windows for the given time, as a component showing its own UI
// would. Returns false if WM_QUIT came by; it is posted again so the caller's loop still sees
// it, and the pumping stops early.
bool PumpMessagesFor(DWORD milliseconds);

} // namespace brevanto::standin
