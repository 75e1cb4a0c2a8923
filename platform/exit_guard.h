#pragma once

#include <windows.h>

namespace brevanto {

// The window thread ends the program when its exit timer fires. A component call that blocks
// without serving messages, or whose own message loop swallows the quit, would keep an
// unattended program alive for as long as the call lasts. The exit guard is a thread of its own
// that ends the process once the exit time has passed by more than kExitGraceMs, with the status
// last set. It ends the process from outside (TerminateProcess), so no component code runs on
// the way out: no DLL detach, no object release.
//
// Process-wide, started once; it keeps watching until the process ends. Its thread also serves
// crash reports (crash_report.h): it is there from the start and never crashes with the window
// thread.
inline constexpr DWORD kExitGraceMs = 1000;

// Starts the guard with the exit due dueInMs from now. Call before any component is loaded, so
// creating the guard's thread runs no component code either. False when the guard's thread
// could not be started; the due time is set all the same.
bool StartExitGuard(DWORD dueInMs, int status);

// Moves the exit to dueInMs from now, as re-arming the exit timer does.
void MoveExitDue(DWORD dueInMs);

// The exit status the guard ends the process with.
void SetExitGuardStatus(int status);

// How long until the exit is due; 0 once it is.
DWORD ExitDueInMs();

// Called on the guard's thread with the status, just before the guard ends the process: the
// last chance to record how the run ended. It must not wait for the window thread.
using ExitGuardLastWords = void (*)(int status);
void SetExitGuardLastWords(ExitGuardLastWords lastWords);

} // namespace brevanto
