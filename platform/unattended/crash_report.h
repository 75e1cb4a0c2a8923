#pragma once

#include <windows.h>

namespace brevanto {

// A crash as the reporter sees it, from a thread that did not crash.
struct CrashFacts {
    DWORD code = 0;
    EXCEPTION_POINTERS* exception = nullptr; // null after abort or std::terminate
    DWORD threadId = 0;                      // the crashed thread, waiting meanwhile
    ULONGLONG tick = 0;                      // GetTickCount64 at the crash
    ULONGLONG deadline = 0;                  // when the reporter must be done
};

// Called once, on the thread that serves crash reports (not the crashed one), which may be all
// that still runs: the crashed thread may hold the loader lock or a heap's lock. It must allocate
// nothing and call nothing that takes the loader lock until it has written what must survive,
// and be done by crash.deadline; then, or when it returns, the process ends with the crash's code
// whatever happened inside it, an exception or a second fault included.
using CrashReporter = void (*)(const CrashFacts& crash);

// How long after a crash the process ends at the latest, whatever the reporter does: the long
// time for a reporter that writes a large dump, the short one otherwise.
inline constexpr DWORD kCrashReportLongMs = 15000;
inline constexpr DWORD kCrashReportShortMs = 5000;

// Makes what a crash is handed over with, and gives serving crash reports to the exit guard's
// thread (exit_guard.h). Call before the guard is started. False when it cannot: a crash then
// ends the process at once.
bool PrepareCrashReports();

// Installs the reporter, and the time the process may take to end after a crash (one of the two
// above). Before a reporter is installed, a crash served by that thread ends the process with its
// code and no report.
void InstallCrashReporter(CrashReporter reporter, DWORD reportMs);

// Another thread that works for the reporter (the dump's): a fault there while a crash is being
// reported ends the process at once, with the first crash's code.
void CountAsCrashReporter(DWORD threadId);

// Ends the process with the code: with a thread serving reports, after it has reported the crash
// or when its time is up; without, at once. A later crash, of the reporter itself included, never
// changes the code the process ends with.
[[noreturn]] void EndAfterCrash(DWORD code, EXCEPTION_POINTERS* exception);

// True once a crash is being reported.
bool CrashBeingReported();

} // namespace brevanto
