#pragma once

#include "report/window_state.h"

namespace brevanto {

// The process exit status, for a scheduler that starts the program unattended.
enum ExitStatus : int {
    kExitJobCompleted = 0,   // the job reached its end (part 8)
    kExitJobFailed = 1,      // the job took its failure path
    kExitCutOffByTimer = 2,  // the 20 s exit timer ended the program before the job finished
    kExitCancelledInJob = 3, // Cancel ended the program before the job finished
    kExitUnhandledError = 4, // an error outside the job ended the program
};

enum class EndedBy { ExitTimer, Cancel };

constexpr int ExitStatusFor(JobOutcome outcome, EndedBy endedBy) {
    switch (outcome) {
    case JobOutcome::Completed:
        return kExitJobCompleted;
    case JobOutcome::Failed:
        return kExitJobFailed;
    case JobOutcome::NotFinished:
        break;
    }
    return endedBy == EndedBy::ExitTimer ? kExitCutOffByTimer : kExitCancelledInJob;
}

} // namespace brevanto
