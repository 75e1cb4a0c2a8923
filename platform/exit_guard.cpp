#include "platform/exit_guard.h"

#include <atomic>

#include "platform/crash_report.h"

namespace brevanto {
namespace {

// Plain atomics with static storage: the guard's thread reads them until the process ends,
// after every object of the window thread is gone.
std::atomic<ULONGLONG> g_dueTick{0};
std::atomic<int> g_status{0};
std::atomic<HANDLE> g_changed{nullptr};
std::atomic<ExitGuardLastWords> g_lastWords{nullptr};

DWORD WINAPI WatchExitTime(void*) {
    // A crash is reported from this thread, one that did not crash and waits from the start.
    const HANDLE crashed = ServeCrashReports();
    for (;;) {
        const ULONGLONG deadline = g_dueTick.load() + kExitGraceMs;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            const int status = g_status.load();
            if (const ExitGuardLastWords lastWords = g_lastWords.load())
                lastWords(status);
            TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
        }
        const DWORD wait = static_cast<DWORD>(deadline - now);
        // Without the event a moved exit time is seen within 100 ms.
        const HANDLE changed = g_changed.load();
        const HANDLE events[] = {changed, crashed};
        const DWORD woken =
            changed ? WaitForMultipleObjects(crashed ? 2 : 1, events, FALSE, wait) : WAIT_FAILED;
        if (woken == WAIT_OBJECT_0 + 1)
            ReportCrashAndEnd();
        if (woken == WAIT_FAILED)
            Sleep(wait < 100 ? wait : 100);
    }
}

} // namespace

bool StartExitGuard(DWORD dueInMs, int status) {
    g_status = status;
    g_dueTick = GetTickCount64() + dueInMs;
    static bool started = false;
    if (started)
        return true;
    g_changed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    // The thread handle is not kept: the thread runs until the process ends. It mostly waits;
    // its stack is reserved for a crash report (the dump itself is written on a thread of its
    // own).
    HANDLE thread = CreateThread(nullptr, 256 * 1024, &WatchExitTime, nullptr,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread)
        return false;
    CloseHandle(thread);
    started = true;
    return true;
}

void MoveExitDue(DWORD dueInMs) {
    g_dueTick = GetTickCount64() + dueInMs;
    if (const HANDLE changed = g_changed.load())
        SetEvent(changed);
}

void SetExitGuardStatus(int status) {
    g_status = status;
}

void SetExitGuardLastWords(ExitGuardLastWords lastWords) {
    g_lastWords = lastWords;
}

DWORD ExitDueInMs() {
    const ULONGLONG due = g_dueTick.load();
    const ULONGLONG now = GetTickCount64();
    return due > now ? static_cast<DWORD>(due - now) : 0;
}

} // namespace brevanto
