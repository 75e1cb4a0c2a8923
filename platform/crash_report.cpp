#include "platform/crash_report.h"

#include <atomic>

#include "platform/exit_guard.h"

namespace brevanto {
namespace {

// Room before the end for what comes after the reporter's deadline.
constexpr DWORD kEndingMs = 300;

std::atomic<CrashReporter> g_reporter{nullptr};
std::atomic<HANDLE> g_crashed{nullptr};
std::atomic<HANDLE> g_reported{nullptr};
std::atomic<bool> g_crashing{false};
std::atomic<ULONGLONG> g_endTick{0};
std::atomic<DWORD> g_servingThread{0};
CrashFacts g_crash;

void EndNow(DWORD code) {
    TerminateProcess(GetCurrentProcess(), code);
}

std::wstring ModuleOf(const void* address, std::uintptr_t& offset) {
    HMODULE module = nullptr;
    if (!address || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                            GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                        static_cast<const wchar_t*>(address), &module))
        return std::wstring();
    offset = reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(module);
    wchar_t path[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH * 2);
    return std::wstring(path, length < MAX_PATH * 2 ? length : 0);
}

} // namespace

bool InstallCrashReporter(CrashReporter reporter) {
    const HANDLE crashed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE reported = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!crashed || !reported)
        return false;
    g_crashed = crashed;
    g_reported = reported;
    g_reporter = reporter;
    return true;
}

HANDLE ServeCrashReports() {
    if (!g_reporter.load())
        return nullptr;
    g_servingThread = GetCurrentThreadId();
    return g_crashed.load();
}

void ReportCrashAndEnd() {
    const EXCEPTION_RECORD* record =
        g_crash.exception ? g_crash.exception->ExceptionRecord : nullptr;
    g_crash.module = ModuleOf(record ? record->ExceptionAddress : nullptr, g_crash.offset);
    g_reporter.load()(g_crash);
    SetEvent(g_reported.load());
    EndNow(g_crash.code);
    for (;;)
        Sleep(INFINITE);
}

void ExtendCrashDeadline() {
    g_endTick = g_crash.tick + kCrashReportLongMs;
}

ULONGLONG CrashReportDeadline() {
    return g_endTick.load() - kEndingMs;
}

bool CrashBeingReported() {
    return g_crashing.load();
}

void EndAfterCrash(DWORD code, EXCEPTION_POINTERS* exception) {
    // As little as possible on this thread: it may have only the stack kept for an overflow.
    const DWORD serving = g_servingThread.load();
    if (!serving || serving == GetCurrentThreadId())
        EndNow(code);
    if (g_crashing.exchange(true)) {
        // Another thread's crash is being reported, or the reporter itself crashed: the first
        // crash ends the process.
        if (GetCurrentThreadId() == g_crash.threadId)
            EndNow(code);
        for (;;)
            Sleep(INFINITE);
    }
    g_crash.code = code;
    g_crash.exception = exception;
    g_crash.threadId = GetCurrentThreadId();
    g_crash.tick = GetTickCount64();
    g_endTick = g_crash.tick + kCrashReportShortMs;
    SetExitGuardStatus(static_cast<int>(code));
    MoveExitDue(kCrashReportLongMs - kExitGraceMs);
    SetEvent(g_crashed.load());
    // The reporter may extend its time while it runs.
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const ULONGLONG end = g_endTick.load();
        if (now >= end)
            break;
        const DWORD wait = static_cast<DWORD>(end - now);
        if (WaitForSingleObject(g_reported.load(), wait < 100 ? wait : 100) == WAIT_OBJECT_0)
            break;
    }
    EndNow(code);
    for (;;)
        Sleep(INFINITE);
}

} // namespace brevanto
