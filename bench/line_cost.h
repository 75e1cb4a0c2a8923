#pragma once

#include "bench/probe_window.h"
#include "bench/spread.h"

namespace brevanto::bench {

// Milliseconds per log line, over the thirteen lines of a job written a few times over.
struct LineCost {
    Spread total;
    Spread readLog; // parts of total
    Spread setLog;
    Spread events;
};

// Lines written with Brevanto's own WriteLog into a probe window.
LineCost MeasureWriteLog(LogUpdate update, bool hidden);

// Lines given to the box whole (SetWindowTextW) between WM_SETREDRAW FALSE and TRUE, then
// invalidated and painted at the event run.
Spread MeasureRedrawOffLine();

// One SetScrollInfo on the log box's scroll bar with the values it already has, as the box
// makes it when its text changes; milliseconds per call.
Spread MeasureScrollInfo(bool redraw);

// One event run with nothing waiting.
Spread MeasureIdleEventRun();

} // namespace brevanto::bench
