#pragma once

#include <string>

#include "report/window_state.h"

namespace brevanto {

// Every run ends with exactly one Application event from the source "Brevanto", written once
// the status is known, on the way out: by the window thread as it ends the program, by the exit
// guard's last words when the guard ends it, or, after a crash, by the guard's thread as the
// crash reporter, before the dump LocalDumps asks for is written. The event log may be slow or
// stopped: writing is never waited on past the exit guard's or the crash's deadline, and a
// failure is ignored. The event is composed in buffers made ready at start-up from what was
// noted and prepared then, so that writing it allocates nothing and takes no loader lock: a
// crash may leave either held for good.

// Prepares everything the event and the crash dump need, installs the crash reporter and gives
// the exit guard its last words. Call after the crash handling is installed and the exit guard
// started, before OLE and any component.
void StartRunEndReport();

// The window state whose part the event names; null once the window is gone (its last part is
// kept).
void WatchRunState(const WindowState* state);

// The failure caption as the window shows it; the event shows it with the stored password masked.
void NoteCaption(const std::wstring& caption);

// The description of an error outside the job, as its message box shows it; masked likewise.
void NoteUnhandledError(const std::wstring& description);

// The request number as the job logged it (line 6); the event shows its last four characters.
void NoteRequestNumber(const std::wstring& requestNumber);

// Writes the run's event for the status, unless one was written already.
void ReportRunEnd(int status);

} // namespace brevanto
