#pragma once

#include "bench/probe_window.h"
#include "bench/spread.h"

namespace brevanto::bench {

// Brevanto's report job (GenerateReport with the COM factory and the registry store, as the
// product runs it) in this process against the stand-ins, in a probe window; milliseconds.
struct JobBreakdown {
    int completed = 0; // runs whose journal holds the whole job
    Spread own;        // the job's own time, components excluded
    // Parts of it spent in the window, between the job's first and last component call.
    Spread readLog;
    Spread setLog;
    Spread paint;   // the paints the job asks for (Deferred)
    Spread events;  // the event runs, less log box updates made in them
    Spread rest;    // the remainder: creating objects, settings reads, member look-ups, strings
    Spread journal; // part of the rest: the stand-ins writing their journal after their exit stamps
};

JobBreakdown MeasureJobInProcess(LogUpdate update, int runs, double journalLineUs);

// Microseconds for one read of a stored setting through the product's registry store.
double SettingReadUs();

} // namespace brevanto::bench
