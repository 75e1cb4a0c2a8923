#include "bench/job_breakdown.h"

#include <string>
#include <vector>

#include "bench/job_figures.h"
#include "platform/base/program_directory.h"
#include "platform/com/com_object.h"
#include "platform/registry/registry_settings.h"
#include "report/report_job.h"
#include "report/stored_settings.h"
#include "tests/support/clock.h"
#include "tests/support/journal_file.h"

namespace brevanto::bench {
namespace {

using support::Ms;
using support::NowUs;

struct WindowShare {
    std::int64_t readLog = 0;
    std::int64_t setLog = 0;
    std::int64_t paint = 0;
    std::int64_t events = 0;
};

// The window's spans inside the job's range; a log update made inside an event run counts as a
// log update only.
WindowShare ShareInJob(const std::vector<WindowSpan>& spans, const JobFigures& job) {
    WindowShare share;
    for (const WindowSpan& span : spans) {
        if (span.startUs < job.firstCallUs || span.endUs > job.lastCallUs)
            continue;
        const std::int64_t us = span.endUs - span.startUs;
        switch (span.kind) {
        case WindowSpan::ReadLog:
            share.readLog += us;
            break;
        case WindowSpan::SetLog:
        case WindowSpan::Paint:
            (span.kind == WindowSpan::SetLog ? share.setLog : share.paint) += us;
            for (const WindowSpan& outer : spans)
                if (outer.kind == WindowSpan::Events && outer.startUs <= span.startUs &&
                    span.endUs <= outer.endUs)
                    share.events -= us;
            break;
        case WindowSpan::Events:
            share.events += us;
            break;
        }
    }
    return share;
}

} // namespace

JobBreakdown MeasureJobInProcess(LogUpdate update, int runs, double journalLineUs) {
    ProbeWindow window(GetModuleHandleW(nullptr), update);
    const RegistrySettingsStore settings;
    ComFactory factory;
    const std::wstring directory = ProgramDirectory();
    std::vector<double> own, readLog, setLog, paint, events, rest, journalWriting;
    JobBreakdown breakdown;
    for (int run = 0; run < runs; ++run) {
        window.State() = {};
        window.Restart();
        const support::JournalFile journal;
        GenerateReport(window, settings, factory, directory);
        const JobFigures job = MeasureJob(journal.Read());
        if (!job.complete)
            continue;
        ++breakdown.completed;
        const WindowShare share = ShareInJob(window.Spans(), job);
        own.push_back(Ms(job.OwnUs()));
        readLog.push_back(Ms(share.readLog));
        setLog.push_back(Ms(share.setLog));
        paint.push_back(Ms(share.paint));
        events.push_back(Ms(share.events));
        rest.push_back(Ms(job.OwnUs() - share.readLog - share.setLog - share.paint - share.events));
        journalWriting.push_back(job.journalWrites * journalLineUs / 1000.0);
    }
    window.State() = {};
    breakdown.own = SpreadOf(own);
    breakdown.readLog = SpreadOf(readLog);
    breakdown.setLog = SpreadOf(setLog);
    breakdown.paint = SpreadOf(paint);
    breakdown.events = SpreadOf(events);
    breakdown.rest = SpreadOf(rest);
    breakdown.journal = SpreadOf(journalWriting);
    return breakdown;
}

double SettingReadUs() {
    constexpr int kReads = 200;
    const RegistrySettingsStore settings;
    const std::int64_t start = NowUs();
    for (int i = 0; i < kReads; ++i)
        settings.TryRead(kSettingsApp, L"ExeParameters", L"Requestnum");
    return static_cast<double>(NowUs() - start) / kReads;
}

} // namespace brevanto::bench
