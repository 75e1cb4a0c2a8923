#pragma once

#include "report/window_state.h"

namespace brevanto {

// The process exit status, for a scheduler that starts the program unattended.
enum ExitStatus : int {
    kExitJobCompleted = 0,    // the job reached its end (part 8)
    kExitJobFailed = 1,       // the job took its failure path
    kExitCutOffByTimer = 2,   // the 20 s exit timer ended the program before the job finished
    kExitCancelledInJob = 3,  // Cancel ended the program before the job finished
    kExitUnhandledError = 4,  // an error outside the job ended the program
    kExitHeldByComponent = 5, // the exit time passed while a component call held the thread
};

// What ends the program: the exit timer served by the window thread, Cancel (the window is gone
// and the thread has returned to its loop), or the exit guard, which ends the process from its
// own thread when a component call keeps the window thread from serving the exit timer.
enum class EndedBy { ExitTimer, Cancel, ExitGuard };

// What the run has come to, as far as the exit status is concerned.
struct RunFacts {
    JobOutcome outcome = JobOutcome::NotFinished;
    bool cancelled = false;      // Cancel was served
    bool unhandledError = false; // an error outside the job is being reported
};

constexpr int ExitStatusFor(const RunFacts& facts, EndedBy endedBy) {
    // Once reported, an unhandled error decides the status whatever ends the program after it.
    if (facts.unhandledError)
        return kExitUnhandledError;
    switch (facts.outcome) {
    case JobOutcome::Completed:
        return kExitJobCompleted;
    case JobOutcome::Failed:
        return kExitJobFailed;
    case JobOutcome::NotFinished:
        break;
    }
    switch (endedBy) {
    case EndedBy::ExitTimer:
        return kExitCutOffByTimer;
    case EndedBy::Cancel:
        return kExitCancelledInJob;
    case EndedBy::ExitGuard:
        // After Cancel the job was stopped by the user; the call that outlived it is secondary.
        return facts.cancelled ? kExitCancelledInJob : kExitHeldByComponent;
    }
    return kExitHeldByComponent;
}

} // namespace brevanto
