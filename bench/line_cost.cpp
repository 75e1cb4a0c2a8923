#include "bench/line_cost.h"

#include <functional>
#include <string>
#include <vector>

#include "platform/base/program_directory.h"
#include "platform/com/message_pump.h"
#include "report/run_log.h"
#include "tests/support/clock.h"
#include "tests/support/job_log.h"
#include "tests/support/settings.h"

namespace brevanto::bench {
namespace {

constexpr int kRounds = 4;

using JobLine = support::JobLogLine;
using support::Ms;
using support::NowUs;

// The lines of a job with the sample settings.
const std::vector<JobLine> kJobLines =
    support::CompletedJobLog(ProgramDirectory(), support::kSampleRequestnum);

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

// Runs line() for every line of the job, kRounds times, each round on an empty box.
std::vector<double> TimeLines(ProbeWindow& window,
                              const std::function<void(const JobLine&)>& line) {
    std::vector<double> costs;
    for (int round = 0; round < kRounds; ++round) {
        window.Restart();
        for (const JobLine& jobLine : kJobLines) {
            const std::int64_t start = NowUs();
            line(jobLine);
            costs.push_back(Ms(NowUs() - start));
        }
    }
    return costs;
}

double SpentOn(const std::vector<WindowSpan>& spans, std::size_t from, WindowSpan::Kind kind) {
    std::int64_t us = 0;
    for (std::size_t i = from; i < spans.size(); ++i)
        if (spans[i].kind == kind)
            us += spans[i].endUs - spans[i].startUs;
    return Ms(us);
}

} // namespace

LineCost MeasureWriteLog(LogUpdate update, bool hidden) {
    ProbeWindow window(Instance(), update);
    if (hidden) {
        ShowWindow(window.Handle(), SW_HIDE);
        RunPendingMessages(window.Handle());
    }
    std::vector<double> readLog, setLog, events;
    const auto totals = TimeLines(window, [&](const JobLine& line) {
        const std::size_t from = window.Spans().size();
        window.State().CurrentPart = line.part;
        WriteLog(window, line.message);
        readLog.push_back(SpentOn(window.Spans(), from, WindowSpan::ReadLog));
        setLog.push_back(SpentOn(window.Spans(), from, WindowSpan::SetLog));
        events.push_back(SpentOn(window.Spans(), from, WindowSpan::Events));
    });
    return {SpreadOf(totals), SpreadOf(readLog), SpreadOf(setLog), SpreadOf(events)};
}

Spread MeasureRedrawOffLine() {
    ProbeWindow window(Instance(), LogUpdate::Whole);
    const HWND box = window.LogBox();
    return SpreadOf(TimeLines(window, [&](const JobLine& line) {
        const std::wstring text = window.LogText() + LogLine(line.part, line.message);
        SendMessageW(box, WM_SETREDRAW, FALSE, 0);
        SetWindowTextW(box, text.c_str());
        SendMessageW(box, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(box, nullptr, TRUE);
        RunPendingMessages(window.Handle());
    }));
}

Spread MeasureScrollInfo(bool redraw) {
    ProbeWindow window(Instance(), LogUpdate::Whole);
    for (const JobLine& line : kJobLines)
        WriteLog(window, line.message);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window.LogBox(), SB_VERT, &info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    std::vector<double> costs;
    for (std::size_t i = 0; i < kRounds * kJobLines.size(); ++i) {
        const std::int64_t start = NowUs();
        SetScrollInfo(window.LogBox(), SB_VERT, &info, redraw);
        costs.push_back(Ms(NowUs() - start));
    }
    return SpreadOf(costs);
}

Spread MeasureIdleEventRun() {
    ProbeWindow window(Instance(), LogUpdate::Whole);
    return SpreadOf(
        TimeLines(window, [&](const JobLine&) { RunPendingMessages(window.Handle()); }));
}

} // namespace brevanto::bench
