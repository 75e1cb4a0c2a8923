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
std::atomic<HANDLE> g_speak{nullptr};
std::atomic<HANDLE> g_spoken{nullptr};
std::atomic<int> g_lastStatus{0};

DWORD WINAPI SpeakLastWords(void*) {
    WaitForSingleObject(g_speak.load(), INFINITE);
    if (const ExitGuardLastWords lastWords = g_lastWords.load()) {
        try {
            lastWords(g_lastStatus.load());
        } catch (...) {
            // Nothing recorded; the guard ends the process all the same.
        }
    }
    SetEvent(g_spoken.load());
    return 0;
}

// The exit is due: the last words have their time, then the process ends. A crash meanwhile is
// reported as any other.
[[noreturn]] void EndAtExitTime(HANDLE crashed) {
    const int status = g_status.load();
    g_lastStatus = status;
    if (const HANDLE speak = g_speak.load(); speak && SetEvent(speak)) {
        const HANDLE events[] = {g_spoken.load(), crashed};
        if (WaitForMultipleObjects(crashed ? 2 : 1, events, FALSE, kLastWordsMs) ==
            WAIT_OBJECT_0 + 1)
            ReportCrashAndEnd();
    }
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    for (;;)
        Sleep(INFINITE);
}

DWORD WINAPI WatchExitTime(void*) {
    // A crash is reported from this thread, one that did not crash and waits from the start.
    const HANDLE crashed = ServeCrashReports();
    for (;;) {
        const ULONGLONG deadline = g_dueTick.load() + kExitGraceMs;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            EndAtExitTime(crashed);
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

// The thread handle is not kept: the thread runs until the process ends. It mostly waits; its
// stack is reserved small.
bool StartThread(LPTHREAD_START_ROUTINE routine) {
    const HANDLE thread = CreateThread(nullptr, 256 * 1024, routine, nullptr,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread)
        return false;
    CloseHandle(thread);
    return true;
}

} // namespace

bool StartExitGuard(DWORD dueInMs, int status) {
    g_status = status;
    g_dueTick = GetTickCount64() + dueInMs;
    static bool started = false;
    if (started)
        return true;
    g_changed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    g_speak = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    g_spoken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    PrepareCrashReports();
    // The last words' thread first: once the guard runs, it may need it.
    if (!g_speak.load() || !g_spoken.load() || !StartThread(&SpeakLastWords))
        g_speak = nullptr;
    if (!StartThread(&WatchExitTime))
        return false;
    started = true;
    return g_speak.load() != nullptr;
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
