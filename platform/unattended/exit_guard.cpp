#include "platform/unattended/exit_guard.h"

#include <atomic>

#include "platform/unattended/standby_thread.h"

namespace brevanto {
namespace {

// Plain atomics with static storage: the guard's thread reads them until the process ends,
// after every object of the window thread is gone.
std::atomic<ULONGLONG> g_dueTick{0};
std::atomic<int> g_status{0};
std::atomic<HANDLE> g_changed{nullptr};
std::atomic<ExitGuardLastWords> g_lastWords{nullptr};
StandbyThread g_lastWordsThread;
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

// Should they throw, nothing is recorded; the guard ends the process all the same.
void SpeakLastWords() {
    if (const ExitGuardLastWords lastWords = g_lastWords.load())
        lastWords(g_lastStatus.load());
}

// The exit is due: the last words have their time, then the process ends. The duty's event set
// meanwhile (a crash) is served as at any other time.
[[noreturn]] void EndAtExitTime(HANDLE duty) {
    const int status = g_status.load();
    g_lastStatus = status;
    if (g_lastWordsThread.Run()) {
        const HANDLE events[] = {g_lastWordsThread.Done(), duty};
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

} // namespace

bool StartExitGuard(DWORD dueInMs, int status) {
    g_status = status;
    g_dueTick = GetTickCount64() + dueInMs;
    static bool started = false;
    if (started)
        return true;
    g_changed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    // The last words' thread first: once the guard runs, it may need it.
    const bool speaking = g_lastWordsThread.Start(&SpeakLastWords);
    if (!StartLastingThread(&WatchExitTime, nullptr))
        return false;
    started = true;
    return speaking;
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
