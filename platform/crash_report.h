#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace brevanto {

// A crash as the reporter sees it, from a thread that did not crash.
struct CrashFacts {
    DWORD code = 0;
    EXCEPTION_POINTERS* exception = nullptr; // null after abort or std::terminate
    DWORD threadId = 0;                      // the crashed thread, waiting meanwhile
    std::wstring module;                     // the file of the module holding the address
    std::uintptr_t offset = 0;               // of the address in that module
    ULONGLONG tick = 0;                      // GetTickCount64 at the crash
};

// Called once, on the thread that serves crash reports (not the crashed one). It must be done by
// CrashReportDeadline(); then, or when it returns, the process ends with the exception code.
using CrashReporter = void (*)(const CrashFacts& crash);

// How long after a crash the process ends at the latest, whatever the reporter does: a reporter
// that may write a large dump asks for the long time (ExtendCrashDeadline), otherwise it has the
// short one. The crashed thread waits that long, then ends it with the exception code.
inline constexpr DWORD kCrashReportLongMs = 15000;
inline constexpr DWORD kCrashReportShortMs = 5000;

// Installs the reporter. A crash is handed to it once a thread serves crash reports; before that,
// or without a reporter, a crash ends the process at once. False when it could not be installed.
bool InstallCrashReporter(CrashReporter reporter);

// For the thread that will serve crash reports, one that waits from the start (a crash may leave
// too little stack, or the loader's lock held, to start a thread then): the event to wait for,
// null without a reporter. When it is set, that thread calls ReportCrashAndEnd.
HANDLE ServeCrashReports();
[[noreturn]] void ReportCrashAndEnd();

// Gives the reporter up to kCrashReportLongMs after the crash instead of kCrashReportShortMs.
void ExtendCrashDeadline();

// When the reporter must be done (GetTickCount64).
ULONGLONG CrashReportDeadline();

// Ends the process with the code: with the reporter, after it has reported the crash or when
// its time is up; without, at once. Other threads that end the process meanwhile wait for it.
[[noreturn]] void EndAfterCrash(DWORD code, EXCEPTION_POINTERS* exception);

// True once a crash is being reported.
bool CrashBeingReported();

} // namespace brevanto
