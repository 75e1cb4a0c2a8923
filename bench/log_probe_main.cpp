// bench_log_probe.exe: where the time of a log line goes. Writes the job's log lines with
// Brevanto's own WriteLog into a window laid out like Brevanto's, in several variants, then runs
// Brevanto's report job in-process against the stand-ins and splits its own time.
// Registers the stand-ins and stores the sample settings first, as brevanto_bench.exe does.
// Its last line gives what the paints Brevanto's job asks for inside its span cost, for
// scripts/bench to pass on to brevanto_bench.exe.
#include <windows.h>

#include <uxtheme.h>

#include <cstdio>

#include "bench/job_breakdown.h"
#include "bench/line_cost.h"
#include "bench/standin_costs.h"
#include "platform/base/program_directory.h"
#include "platform/com/ole_apartment.h"
#include "tests/support/settings.h"
#include "tests/support/standin_library.h"

namespace {

using namespace brevanto::bench;

constexpr int kJobRuns = 15;

void Row(const char* label, const Spread& spread) {
    std::printf("  %-62s %8.2f %8.2f %8.2f ms\n", label, spread.min, spread.median, spread.max);
}

void PrintLineCosts() {
    std::printf("One log line (13 lines of a job, 4 times over)%*s %8s %8s %8s\n", 20, "", "min",
                "median", "max");
    const LineCost product = MeasureWriteLog(LogUpdate::Whole, false);
    Row("whole text, painted at once (WriteLog)", product.total);
    Row("  reading the log box (GetWindowTextW)", product.readLog);
    Row("  giving it the whole text (SetWindowTextW)", product.setLog);
    Row("  the event run (RunPendingMessages)", product.events);
    Row("the same, window hidden", MeasureWriteLog(LogUpdate::Whole, true).total);
    Row("appending the line (EM_SETSEL, EM_REPLACESEL)",
        MeasureWriteLog(LogUpdate::Append, false).total);
    Row("whole text between WM_SETREDRAW FALSE and TRUE", MeasureRedrawOffLine());
    Row("as Brevanto writes it, painted within 30 ms",
        MeasureWriteLog(LogUpdate::Deferred, false).total);
    Row("an event run with nothing waiting", MeasureIdleEventRun());
    std::printf("The log box's scroll bar, values unchanged (per SetScrollInfo call)\n");
    Row("redrawn, as the box asks when its text changes", MeasureScrollInfo(true));
    Row("not redrawn", MeasureScrollInfo(false));
}

JobBreakdown PrintJob(const char* label, LogUpdate update, double journalLineUs) {
    const JobBreakdown job = MeasureJobInProcess(update, kJobRuns, journalLineUs);
    std::printf("%s (%d of %d runs complete)\n", label, job.completed, kJobRuns);
    Row("job's own time", job.own);
    Row("  reading the log box", job.readLog);
    Row("  giving it new text", job.setLog);
    Row("  painting it when the job asks", job.paint);
    Row("  event runs", job.events);
    Row("  the rest: creating objects, settings reads, strings", job.rest);
    Row("    of which the stand-ins' journal writing", job.journal);
    return job;
}

// Last: it changes the whole process.
void PrintUnthemedScrollBar() {
    SetThemeAppProperties(STAP_ALLOW_CONTROLS);
    std::printf("\nThe same without visual styles for non-client areas (SetThemeAppProperties)\n");
    Row("one log line, whole text, painted at once",
        MeasureWriteLog(LogUpdate::Whole, false).total);
    Row("one redrawn SetScrollInfo", MeasureScrollInfo(true));
}

} // namespace

int wmain() {
    brevanto::support::RegisterStandins(brevanto::ProgramDirectory());
    brevanto::support::StoreSampleSettings();
    const brevanto::OleApartment apartment;
    PrintLineCosts();
    std::printf("\nBrevanto's report job in-process against the stand-ins, %d runs\n", kJobRuns);
    const double journalLineUs = JournalLineUs();
    PrintJob("Whole text per line, painted at once", LogUpdate::Whole, journalLineUs);
    PrintJob("Lines appended (EM_REPLACESEL)", LogUpdate::Append, journalLineUs);
    PrintJob("Log box updated from a 30 ms timer, once per burst of lines", LogUpdate::Coalesced,
             journalLineUs);
    const JobBreakdown product =
        PrintJob("Text at once, painted from a 30 ms timer and before long calls, as Brevanto",
                 LogUpdate::Deferred, journalLineUs);

    std::printf("\nOne member look-up (GetIDsOfNames) on a stand-in: %.2f us\n", MemberLookUpUs());
    std::printf("Creating an object by class name, caller's side: %.1f us\n", ObjectCreationUs());
    std::printf("One setting read through the registry store: %.1f us\n", SettingReadUs());
    std::printf("One journal line written by a stand-in: %.1f us\n", journalLineUs);
    PrintUnthemedScrollBar();
    std::printf("\nJob paints (median, ms): %.2f\n", product.paint.median);
    return 0;
}
