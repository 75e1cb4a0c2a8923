#include "platform/unattended/crash_report.h"

#include <atomic>

#include "platform/unattended/exit_guard.h"

namespace brevanto {
namespace {

// Room before the end for what comes after the reporter's deadline.
constexpr DWORD kEndingMs = 300;

std::atomic<CrashReporter> g_reporter{nullptr};
std::atomic<DWORD> g_reportMs{kCrashReportShortMs};
std::atomic<HANDLE> g_crashed{nullptr};
std::atomic<HANDLE> g_reported{nullptr};
std::atomic<bool> g_crashing{false};
std::atomic<DWORD> g_servingThread{0};
std::atomic<DWORD> g_helperThread{0};
// Written by the first crashed thread before it hands the crash over, read after.
CrashFacts g_crash;

[[noreturn]] void EndNow(DWORD code) {
    TerminateProcess(GetCurrentProcess(), code);
    // TerminateProcess of the own process does not return; this is for the compiler.
    for (;;)
        Sleep(INFINITE);
}

bool ReportsCrashes(DWORD threadId) {
    return threadId == g_servingThread.load() || threadId == g_helperThread.load();
}

// Called on the guard's thread as it starts: that thread serves crash reports from then on.
HANDLE ServeCrashReports() {
    const HANDLE crashed = g_crashed.load();
    if (crashed)
        g_servingThread = GetCurrentThreadId();
    return crashed;
}

// On the guard's thread, once a crash has been handed over.
[[noreturn]] void ReportCrashAndEnd() {
    if (const CrashReporter reporter = g_reporter.load()) {
        try {
            reporter(g_crash);
        } catch (...) {
            // The report is as far as it got; the crash's code ends the process.
        }
    }
    SetEvent(g_reported.load());
    EndNow(g_crash.code);
}

} // namespace

bool PrepareCrashReports() {
    if (g_crashed.load())
        return true;
    const HANDLE crashed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE reported = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!crashed || !reported)
        return false;
    g_reported = reported;
    g_crashed = crashed;
    GiveExitGuardDuty({&ServeCrashReports, &ReportCrashAndEnd});
    return true;
}

void InstallCrashReporter(CrashReporter reporter, DWORD reportMs) {
    g_reportMs = reportMs;
    g_reporter = reporter;
}

void CountAsCrashReporter(DWORD threadId) {
    g_helperThread = threadId;
}

bool CrashBeingReported() {
    return g_crashing.load();
}

void EndAfterCrash(DWORD code, EXCEPTION_POINTERS* exception) {
    // As little as possible on this thread: it may have only the stack kept for an overflow.
    const DWORD self = GetCurrentThreadId();
    if (g_crashing.exchange(true)) {
        // A crash is being reported already. The reporter's own fault ends the process now, with
        // that first crash's code; any other thread waits for the report to end it.
        if (ReportsCrashes(self))
            EndNow(g_crash.code);
        for (;;)
            Sleep(INFINITE);
    }
    const DWORD serving = g_servingThread.load();
    // Nobody to report it: before the serving thread runs, or the serving thread itself.
    if (!serving || serving == self)
        EndNow(code);
    g_crash.code = code;
    g_crash.exception = exception;
    g_crash.threadId = self;
    g_crash.tick = GetTickCount64();
    const ULONGLONG end = g_crash.tick + g_reportMs.load();
    g_crash.deadline = end - kEndingMs;
    // The guard, should it get to its exit time, ends with the crash's code, and not earlier.
    SetExitGuardStatus(static_cast<int>(code));
    MoveExitDue(kCrashReportLongMs);
    SetEvent(g_crashed.load());
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            break;
        const DWORD wait = static_cast<DWORD>(end - now);
        if (WaitForSingleObject(g_reported.load(), wait) == WAIT_OBJECT_0)
            break;
    }
    EndNow(code);
}

} // namespace brevanto
