#include "platform/unattended/standby_thread.h"

namespace brevanto {

bool StartLastingThread(LPTHREAD_START_ROUTINE routine, void* parameter, DWORD* threadId) {
    const HANDLE thread = CreateThread(nullptr, 256 * 1024, routine, parameter,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, threadId);
    if (!thread)
        return false;
    CloseHandle(thread);
    return true;
}

bool StandbyThread::Start(Job job, DWORD* threadId) {
    // The events live as long as the process: the thread may wait on them to the end.
    const HANDLE run = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!run || !done) {
        if (run)
            CloseHandle(run);
        if (done)
            CloseHandle(done);
        return false;
    }
    job_ = job;
    run_ = run;
    done_ = done;
    if (StartLastingThread(&Main, this, threadId))
        return true;
    run_ = nullptr;
    done_ = nullptr;
    CloseHandle(run);
    CloseHandle(done);
    return false;
}

bool StandbyThread::Run() {
    const HANDLE run = run_.load();
    return run && SetEvent(run);
}

bool StandbyThread::WaitDone(DWORD waitMs) const {
    const HANDLE done = done_.load();
    return done && WaitForSingleObject(done, waitMs) == WAIT_OBJECT_0;
}

DWORD WINAPI StandbyThread::Main(void* self) {
    auto& standby = *static_cast<StandbyThread*>(self);
    WaitForSingleObject(standby.run_.load(), INFINITE);
    try {
        if (const Job job = standby.job_.load())
            job();
    } catch (...) {
        // Nothing done; whoever waits goes on all the same.
    }
    SetEvent(standby.done_.load());
    return 0;
}

} // namespace brevanto
