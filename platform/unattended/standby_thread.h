#pragma once

#include <windows.h>

#include <atomic>

namespace brevanto {

// Starts a thread that runs until the process ends; its handle is not kept. It mostly waits, so
// its stack is reserved small. False when it could not be started.
bool StartLastingThread(LPTHREAD_START_ROUTINE routine, void* parameter, DWORD* threadId = nullptr);

// A job on a thread of its own, started ahead and waiting: running it later needs no new thread
// (a crash may leave too little stack, or the loader's lock held, to start one), and whoever asks
// for it waits only as long as they can give it. Run and WaitDone allocate nothing and take no
// lock. Meant for static storage: the thread uses it until the process ends.
class StandbyThread {
public:
    using Job = void (*)();

    // Starts the thread, waiting for Run. False when its events or the thread could not be made.
    bool Start(Job job, DWORD* threadId = nullptr);
    // Has the thread run the job, once; false when it is not started.
    bool Run();
    // Set once the job has ended (an exception out of it ends it too); null until started.
    HANDLE Done() const { return done_.load(); }
    // Waits for the job to end no longer than waitMs; true when it has.
    bool WaitDone(DWORD waitMs) const;

private:
    static DWORD WINAPI Main(void* self);

    std::atomic<Job> job_{nullptr};
    std::atomic<HANDLE> run_{nullptr};
    std::atomic<HANDLE> done_{nullptr};
};

} // namespace brevanto
