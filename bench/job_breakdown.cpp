#include "bench/job_breakdown.h"

#include <objbase.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "bench/clock.h"
#include "bench/job_figures.h"
#include "platform/com_object.h"
#include "platform/program_directory.h"
#include "platform/registry_settings.h"
#include "report/report_job.h"
#include "report/stored_settings.h"
#include "tests/e2e/journal_reader.h"

namespace brevanto::bench {
namespace {

double Ms(std::int64_t us) {
    return static_cast<double>(us) / 1000.0;
}

struct WindowShare {
    std::int64_t readLog = 0;
    std::int64_t setLog = 0;
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
            share.setLog += us;
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

std::wstring ProbeJournalPath(int run) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"brevanto-probe-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(run) + L".txt";
}

} // namespace

JobBreakdown MeasureJobInProcess(LogUpdate update, int runs, double journalLineUs) {
    ProbeWindow window(GetModuleHandleW(nullptr), update);
    const RegistrySettingsStore settings;
    ComFactory factory;
    const std::wstring directory = ProgramDirectory();
    std::vector<double> own, readLog, setLog, events, rest, journalWriting;
    JobBreakdown breakdown;
    for (int run = 0; run < runs; ++run) {
        window.State() = {};
        window.Restart();
        const std::wstring journal = ProbeJournalPath(run);
        DeleteFileW(journal.c_str());
        SetEnvironmentVariableW(L"BREVANTO_STANDIN_JOURNAL", journal.c_str());
        GenerateReport(window, settings, factory, directory);
        SetEnvironmentVariableW(L"BREVANTO_STANDIN_JOURNAL", nullptr);
        const JobFigures job = MeasureJob(e2e::ReadJournal(journal));
        DeleteFileW(journal.c_str());
        if (!job.complete)
            continue;
        ++breakdown.completed;
        const WindowShare share = ShareInJob(window.Spans(), job);
        own.push_back(Ms(job.OwnUs()));
        readLog.push_back(Ms(share.readLog));
        setLog.push_back(Ms(share.setLog));
        events.push_back(Ms(share.events));
        rest.push_back(Ms(job.OwnUs() - share.readLog - share.setLog - share.events));
        journalWriting.push_back(job.journalWrites * journalLineUs / 1000.0);
    }
    window.State() = {};
    breakdown.own = SpreadOf(own);
    breakdown.readLog = SpreadOf(readLog);
    breakdown.setLog = SpreadOf(setLog);
    breakdown.events = SpreadOf(events);
    breakdown.rest = SpreadOf(rest);
    breakdown.journal = SpreadOf(journalWriting);
    return breakdown;
}

double MemberLookUpUs() {
    constexpr int kLookUps = 1000;
    CLSID clsid;
    Microsoft::WRL::ComPtr<IDispatch> viewer;
    if (FAILED(CLSIDFromProgID(std::wstring(kViewerClass).c_str(), &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&viewer))))
        return -1;
    wchar_t member[] = L"Show_Results";
    LPOLESTR names[] = {member};
    DISPID id = DISPID_UNKNOWN;
    const std::int64_t start = NowUs();
    for (int i = 0; i < kLookUps; ++i)
        viewer->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return static_cast<double>(NowUs() - start) / kLookUps;
}

double ObjectCreationUs() {
    constexpr int kCreations = 50;
    const std::wstring progId(kViewerClass);
    const std::int64_t start = NowUs();
    for (int i = 0; i < kCreations; ++i) {
        CLSID clsid;
        Microsoft::WRL::ComPtr<IDispatch> viewer;
        if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid)) ||
            FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&viewer))))
            return -1;
    }
    return static_cast<double>(NowUs() - start) / kCreations;
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
