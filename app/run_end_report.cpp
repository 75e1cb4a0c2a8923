#include "app/run_end_report.h"

#include <atomic>
#include <mutex>

#include "app/run_event.h"
#include "platform/call_in_progress.h"
#include "platform/crash_dump.h"
#include "platform/crash_report.h"
#include "platform/event_log.h"
#include "platform/exit_guard.h"
#include "platform/local_dumps.h"
#include "platform/own_version.h"
#include "platform/registry_settings.h"
#include "report/stored_settings.h"

namespace brevanto {
namespace {

// How long the writing of the event is given, at most.
constexpr DWORD kEventWaitMs = 500;

std::atomic<bool> g_written{false};
std::mutex g_lock;
const WindowState* g_state = nullptr;
std::int16_t g_lastPart = 0;
std::wstring g_caption;
std::wstring g_unhandledError;

// Facts common to every end; the part is read as it is, the thread that writes it being stopped
// or gone by now.
RunEndFacts CommonFacts(int status) {
    RunEndFacts facts;
    facts.status = status;
    {
        const std::lock_guard lock(g_lock);
        facts.part = g_state ? g_state->CurrentPart : g_lastPart;
        facts.failureCaption = g_caption;
        facts.errorText = g_unhandledError;
    }
    facts.requestNumber = GetSetting(RegistrySettingsStore(), kRequestNumber);
    facts.runMs = ProcessAgeMs();
    facts.version = OwnFileVersion();
    return facts;
}

EventKind KindOf(RunEventType type) {
    switch (type) {
    case RunEventType::Information:
        return EventKind::Information;
    case RunEventType::Warning:
        return EventKind::Warning;
    case RunEventType::Error:
        break;
    }
    return EventKind::Error;
}

// Whoever writes is watched: the window thread by the exit guard, the guard's thread after a
// crash by the crashed thread's own deadline. Only the guard's last words have no watcher.
enum class Watched { Yes, No };

void Write(const RunEndFacts& facts, Watched watched) {
    if (g_written.exchange(true))
        return;
    const RunEvent event = RunEventFor(facts);
    if (watched == Watched::Yes)
        WriteApplicationEvent(KindOf(event.type), event.id, event.lines);
    else
        WriteApplicationEventWithin(KindOf(event.type), event.id, event.lines, kEventWaitMs);
}

DumpWritten DumpWrittenOf(DumpOutcome outcome) {
    switch (outcome) {
    case DumpOutcome::NotConfigured:
        break;
    case DumpOutcome::Written:
        return DumpWritten::Written;
    case DumpOutcome::CutShort:
        return DumpWritten::CutShort;
    case DumpOutcome::Failed:
        return DumpWritten::Failed;
    }
    return DumpWritten::NotConfigured;
}

void ReportCrash(const CrashFacts& crash) {
    const std::wstring exeName = ExeFileName();
    const LocalDumpSettings settings = ReadLocalDumpSettings(exeName);
    if (settings.configured && settings.type != kMiniDump)
        ExtendCrashDeadline();
    const ULONGLONG deadline = CrashReportDeadline() - kEventWaitMs;
    const DumpResult dump =
        WriteLocalDump(settings, exeName, crash.exception, crash.threadId, deadline);

    RunEndFacts facts = CommonFacts(static_cast<int>(crash.code));
    facts.crashed = true;
    facts.module = crash.module;
    facts.offset = crash.offset;
    facts.member = MemberInProgress();
    facts.dump = DumpWrittenOf(dump.outcome);
    facts.dumpPath = dump.path;
    facts.dumpProblem = dump.problem;
    facts.dumpLimitMs = static_cast<unsigned>(deadline - crash.tick);
    Write(facts, Watched::Yes);
}

void LastWordsOfTheExitGuard(int status) {
    if (!CrashBeingReported() && !g_written.load())
        Write(CommonFacts(status), Watched::No);
}

} // namespace

void StartRunEndReport() {
    InstallCrashReporter(&ReportCrash);
    SetExitGuardLastWords(&LastWordsOfTheExitGuard);
}

void WatchRunState(const WindowState* state) {
    const std::lock_guard lock(g_lock);
    if (g_state)
        g_lastPart = g_state->CurrentPart;
    g_state = state;
}

void NoteCaption(const std::wstring& caption) {
    const std::lock_guard lock(g_lock);
    g_caption = caption;
}

void NoteUnhandledError(const std::wstring& description) {
    const std::lock_guard lock(g_lock);
    g_unhandledError = description;
}

void ReportRunEnd(int status) {
    if (!g_written.load())
        Write(CommonFacts(status), Watched::Yes);
}

} // namespace brevanto
