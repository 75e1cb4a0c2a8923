#pragma once

#include <cstdint>

#include "report/automation.h"

namespace brevanto {

// How far the report job got; decides the exit status when the program ends.
enum class JobOutcome { NotFinished, Completed, Failed };

// The fields the main window keeps for the whole program run and shares with the job, the run
// log and the Test action.
struct WindowState {
    ObjectRef LabResultViewer;
    ObjectRef User;
    std::int16_t CurrentPart = 0;
    JobOutcome Outcome = JobOutcome::NotFinished;
};

} // namespace brevanto
