#include "app/run_end_report.h"

#include <atomic>
#include <cstdint>

#include "app/core/run_event.h"
#include "platform/base/own_version.h"
#include "platform/base/process_age.h"
#include "platform/base/program_directory.h"
#include "platform/base/shared_text.h"
#include "platform/com/call_in_progress.h"
#include "platform/records/crash_dump.h"
#include "platform/records/event_log.h"
#include "platform/records/faulting_module.h"
#include "platform/records/local_dumps.h"
#include "platform/registry/registry_settings.h"
#include "platform/unattended/crash_report.h"
#include "platform/unattended/exit_guard.h"
#include "platform/unattended/loader_lock.h"
#include "report/stored_settings.h"
#include "report/wiped_text.h"

namespace brevanto {
namespace {

// What the window hands over as the run goes, kept where a crash report can copy it from.
SharedText<kEventStringLimit> g_caption;
SharedText<kEventStringLimit> g_unhandledError;
SharedText<kEventStringLimit> g_requestNumber;
std::atomic<const WindowState*> g_state{nullptr};
std::atomic<std::int16_t> g_lastPart{0};

// Made at start-up.
std::wstring g_version;
const PreparedDump* g_dump = nullptr;

// One event a run: whoever claims it first writes it, into these buffers.
std::atomic<bool> g_claimed{false};
RunEvent g_event;
wchar_t g_captionCopy[kEventStringLimit];
wchar_t g_errorCopy[kEventStringLimit];
wchar_t g_requestCopy[kEventStringLimit];
wchar_t g_memberCopy[kMemberNameCapacity];

constexpr wchar_t kLoaderLockHeld[] =
    L"the loader lock is held (by the crashed thread, or one that stopped), and writing a dump "
    L"in the process waits for it";

bool Claim() {
    return !g_claimed.exchange(true);
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

std::wstring_view Copied(const SharedText<kEventStringLimit>& text, wchar_t* copy) {
    return std::wstring_view(copy, text.CopyTo(copy).value_or(0));
}

// The part as it is now; the thread that writes it is stopped or gone by the time this is read.
std::int16_t PartNow() {
    const WindowState* state = g_state.load();
    if (!state)
        return g_lastPart.load();
    return *static_cast<const volatile std::int16_t*>(&state->CurrentPart);
}

// Facts common to every end, from what was noted and prepared, allocating nothing.
RunEndFacts CommonFacts(int status) {
    RunEndFacts facts;
    facts.status = status;
    facts.part = PartNow();
    facts.failureCaption = Copied(g_caption, g_captionCopy);
    facts.errorText = Copied(g_unhandledError, g_errorCopy);
    const auto request = g_requestNumber.CopyTo(g_requestCopy);
    facts.requestNumberLogged = request.has_value();
    facts.requestNumber = std::wstring_view(g_requestCopy, request.value_or(0));
    facts.runMs = ProcessAgeMs();
    facts.version = g_version;
    return facts;
}

void Write(const RunEndFacts& facts) {
    ComposeRunEvent(facts, g_event);
    const wchar_t* strings[kMaxEventStrings];
    for (std::size_t i = 0; i < g_event.count; ++i)
        strings[i] = g_event.strings[i].CString();
    WriteApplicationEvent(KindOf(g_event.type), g_event.id, strings,
                          static_cast<WORD>(g_event.count));
}

// What the event says of the dump, decided before the dump is begun.
void PlanDump(RunEndFacts& facts, DWORD reportMs) {
    if (!g_dump || g_dump->readiness == DumpReadiness::NotConfigured)
        return;
    if (g_dump->readiness == DumpReadiness::Refused) {
        facts.dump = DumpPlan::NotWritten;
        facts.dumpProblem = g_dump->problem;
    } else if (LoaderLockHeldElsewhere()) {
        facts.dump = DumpPlan::NotWritten;
        facts.dumpProblem = kLoaderLockHeld;
    } else {
        facts.dump = DumpPlan::Pending;
        facts.dumpPath = g_dump->path;
        facts.dumpLimitMs = reportMs;
    }
}

DWORD ReportMs() {
    const bool large =
        g_dump && g_dump->readiness == DumpReadiness::Ready && g_dump->type != kMiniDump;
    return large ? kCrashReportLongMs : kCrashReportShortMs;
}

// On the guard's thread; the crashed one may hold the loader lock or a heap's lock. The event
// first, so that a dump that blocks cannot lose it.
void ReportCrash(const CrashFacts& crash) {
    RunEndFacts dump;
    PlanDump(dump, ReportMs());
    // The event may have been written already, by a thread that ended the run as this one
    // crashed; its buffers are that writer's then.
    if (Claim()) {
        RunEndFacts facts = CommonFacts(static_cast<int>(crash.code));
        facts.crashed = true;
        const EXCEPTION_RECORD* record =
            crash.exception ? crash.exception->ExceptionRecord : nullptr;
        const ModuleAt module = ModuleHolding(record ? record->ExceptionAddress : nullptr);
        facts.module = module.path;
        facts.offset = module.offset;
        facts.member = std::wstring_view(g_memberCopy, CopyMemberInProgress(g_memberCopy));
        facts.dump = dump.dump;
        facts.dumpPath = dump.dumpPath;
        facts.dumpProblem = dump.dumpProblem;
        facts.dumpLimitMs = dump.dumpLimitMs;
        Write(facts);
    }
    if (dump.dump == DumpPlan::Pending && StartDump(crash.exception, crash.threadId))
        WaitForDump(crash.deadline);
}

void LastWordsOfTheExitGuard(int status) {
    if (!CrashBeingReported() && Claim())
        Write(CommonFacts(status));
}

// The stored password never reaches the event, though a component may echo it in its error.
std::wstring WithoutPassword(const std::wstring& text) {
    std::wstring password = GetSetting(RegistrySettingsStore(), kPassword);
    const WipeOnExit wipe(password);
    return MaskSecret(text, password);
}

} // namespace

void StartRunEndReport() {
    PrepareApplicationEvents();
    PrepareModuleNaming();
    PrepareLoaderLockProbe();
    g_version = OwnFileVersion();
    g_dump = &PrepareLocalDump(ExeFileName());
    InstallCrashReporter(&ReportCrash, ReportMs());
    SetExitGuardLastWords(&LastWordsOfTheExitGuard);
}

void WatchRunState(const WindowState* state) {
    if (const WindowState* previous = g_state.load())
        g_lastPart = previous->CurrentPart;
    g_state = state;
}

void NoteCaption(const std::wstring& caption) {
    g_caption.Set(WithoutPassword(caption));
}

void NoteUnhandledError(const std::wstring& description) {
    g_unhandledError.Set(WithoutPassword(description));
}

void NoteRequestNumber(const std::wstring& requestNumber) {
    // Its end is what the event shows.
    const std::size_t kept =
        requestNumber.size() < kEventStringLimit ? requestNumber.size() : kEventStringLimit;
    g_requestNumber.Set(std::wstring_view(requestNumber).substr(requestNumber.size() - kept));
}

void ReportRunEnd(int status) {
    if (Claim())
        Write(CommonFacts(status));
}

} // namespace brevanto
