#pragma once

#include <string>

#include "report/window_state.h"

namespace brevanto {

// Every run ends with exactly one Application event from the source "Brevanto", written once
// the status is known, on the way out: by the window thread as it ends the program, by the exit
// guard's thread when the guard ends it, or, after a crash, by the guard's thread as the crash
// reporter (which also has the dump LocalDumps asks for written). The event log may be slow or
// stopped: writing is never waited on past the exit guard's or the crash's deadline, and a
// failure is ignored.

// Installs the crash reporter and gives the exit guard its last words. Call after the crash
// handling is installed and before the exit guard starts.
void StartRunEndReport();

// The window state whose part the event names; null once the window is gone (its last part is
// kept).
void WatchRunState(const WindowState* state);

// The failure caption as the window shows it.
void NoteCaption(const std::wstring& caption);

// The description of an error outside the job, as its message box shows it.
void NoteUnhandledError(const std::wstring& description);

// Writes the run's event for the status, unless one was written already.
void ReportRunEnd(int status);

} // namespace brevanto
