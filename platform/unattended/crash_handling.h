#pragma once

#include <windows.h>

namespace brevanto {

// Nobody watches the program, so a crash must never wait for a person: an exception that no
// handler takes ends the process, with the exception code as its exit status (as Windows
// reports a crashed process), without the error-reporting dialog, a JIT debugger or Wine's crash
// dialog, and without running any more component code (TerminateProcess: no DLL detach); at
// once, or once a crash reporter (crash_report.h) has had its bounded time.
// The system's critical-error and file-not-found boxes are turned off as well, not the fault box
// (child processes inherit the mode and keep Windows Error Reporting), and error reporting is
// asked to show no UI for the fail-fast exceptions that bypass every handler.
//
// Call first thing at start, on the thread that will call the components.
void InstallCrashHandling();

// Puts our unhandled-exception filter and error mode back, after a component call that may have
// replaced them with a crash reporter of its own.
void ReassertCrashHandling();

// Ends the process now with the status, running no DLL detach code.
[[noreturn]] void EndProcessNow(UINT status);

// The status of a program that ended through std::terminate or abort (a fail-fast exit).
inline constexpr UINT kAbortStatus = 0xC0000409;

} // namespace brevanto
