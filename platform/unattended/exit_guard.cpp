#include "platform/unattended/exit_guard.h"

#include <atomic>

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
std::atomic<HANDLE (*)()> g_attachDuty{nullptr};
std::atomic<void (*)()> g_serveDuty{nullptr};

[[noreturn]] void EndWith(int status) {
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    for (;;)
        Sleep(INFINITE);
}

// The duty ends the process itself; should it return, the guard does.
[[noreturn]] void ServeDuty() {
    if (const auto serve = g_serveDuty.load())
        serve();
    EndWith(g_status.load());
}

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

// The exit is due: the last words have their time, then the process ends. The duty's event set
// meanwhile (a crash) is served as at any other time.
[[noreturn]] void EndAtExitTime(HANDLE duty) {
    const int status = g_status.load();
    g_lastStatus = status;
    if (const HANDLE speak = g_speak.load(); speak && SetEvent(speak)) {
        const HANDLE events[] = {g_spoken.load(), duty};
        if (WaitForMultipleObjects(duty ? 2 : 1, events, FALSE, kLastWordsMs) == WAIT_OBJECT_0 + 1)
            ServeDuty();
    }
    EndWith(status);
}

DWORD WINAPI WatchExitTime(void*) {
    const auto attach = g_attachDuty.load();
    const HANDLE duty = attach ? attach() : nullptr;
    for (;;) {
        const ULONGLONG deadline = g_dueTick.load() + kExitGraceMs;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            EndAtExitTime(duty);
        const DWORD wait = static_cast<DWORD>(deadline - now);
        // Without the event a moved exit time is seen within 100 ms.
        const HANDLE changed = g_changed.load();
        const HANDLE events[] = {changed, duty};
        const DWORD woken =
            changed ? WaitForMultipleObjects(duty ? 2 : 1, events, FALSE, wait) : WAIT_FAILED;
        if (woken == WAIT_OBJECT_0 + 1)
            ServeDuty();
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
    // The last words' thread first: once the guard runs, it may need it.
    if (!g_speak.load() || !g_spoken.load() || !StartThread(&SpeakLastWords))
        g_speak = nullptr;
    if (!StartThread(&WatchExitTime))
        return false;
    started = true;
    return g_speak.load() != nullptr;
}

void GiveExitGuardDuty(ExitGuardDuty duty) {
    g_serveDuty = duty.serve;
    g_attachDuty = duty.attach;
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
