#include "app/core/run_event.h"

#include "app/core/exit_status.h"
#include "report/exception_name.h"

namespace brevanto {
namespace {

// The next string of the event, empty, with its label when it is a fact.
EventString& Next(RunEvent& event, std::wstring_view label = {}) {
    EventString& string = event.strings[event.count++];
    string.Clear();
    if (!label.empty())
        string.Plain(label).Plain(L": ");
    return string;
}

EventString& Seconds(EventString& string, std::uint64_t ms) {
    string.Decimal(ms / 1000).Plain(L".");
    if (ms % 1000 < 100)
        string.Plain(ms % 1000 < 10 ? L"00" : L"0");
    return string.Decimal(ms % 1000).Plain(L" s");
}

EventString& ExceptionCode(EventString& string, std::uint32_t code) {
    string.Hex(code, 8);
    if (const std::wstring_view name = ExceptionName(code); !name.empty())
        string.Plain(L" (").Plain(name).Plain(L")");
    return string;
}

std::wstring_view FileName(std::wstring_view path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

void DumpLine(const RunEndFacts& facts, RunEvent& event) {
    EventString& line = Next(event, L"Dump");
    switch (facts.dump) {
    case DumpPlan::NotConfigured:
        line.Plain(L"none (LocalDumps is not configured)");
        return;
    case DumpPlan::NotWritten:
        line.Plain(L"not written: ").Value(facts.dumpProblem);
        return;
    case DumpPlan::Pending:
        line.Value(facts.dumpPath)
            .Plain(L", written after this event (a dump not finished within ");
        Seconds(line, facts.dumpLimitMs).Plain(L" of the crash is deleted)");
        return;
    }
}

void CrashStrings(const RunEndFacts& facts, RunEvent& event) {
    ExceptionCode(Next(event).Plain(L"Brevanto crashed with exception "),
                  static_cast<std::uint32_t>(facts.status))
        .Plain(L".");
    EventString& module = Next(event, L"Faulting module");
    if (facts.module.empty())
        module.Plain(L"unknown");
    else
        module.Value(FileName(facts.module)).Plain(L" at offset ").Hex(facts.offset, 8);
    EventString& path = Next(event, L"Module path");
    if (facts.module.empty())
        path.Plain(L"none");
    else
        path.Value(facts.module);
    EventString& member = Next(event, L"Member being called");
    if (facts.member.empty())
        member.Plain(L"none");
    else
        member.Value(facts.member);
    DumpLine(facts, event);
}

// How each status other than a crash is told: its type, id and sentence, and the one fact some
// have next (the caption of a failure, the error outside the job) with its label.
struct Outcome {
    int status;
    RunEventType type;
    unsigned id;
    std::wstring_view sentence;
    std::wstring_view factLabel = {};
    std::wstring_view RunEndFacts::*fact = nullptr;
};

constexpr Outcome kOutcomes[] = {
    {kExitJobCompleted, RunEventType::Information, kEventCompleted, L"The report job completed."},
    {kExitJobFailed, RunEventType::Error, kEventFailed, L"The report job failed.", L"Caption",
     &RunEndFacts::failureCaption},
    {kExitCutOffByTimer, RunEventType::Warning, kEventCutOffByTimer,
     L"The exit timer ended the program before the report job finished."},
    {kExitCancelledInJob, RunEventType::Information, kEventCancelled,
     L"Cancel ended the program before the report job finished."},
    {kExitUnhandledError, RunEventType::Error, kEventUnhandledError,
     L"An error outside the report job ended the program.", L"Error", &RunEndFacts::errorText},
};

// Any other status is the exit guard's.
constexpr Outcome kEndedByExitGuard{
    kExitHeldByComponent, RunEventType::Error, kEventEndedByExitGuard,
    L"A component call held the program past its exit time; the exit guard ended it."};

void OutcomeStrings(const RunEndFacts& facts, RunEvent& event) {
    const Outcome* outcome = &kEndedByExitGuard;
    for (const Outcome& known : kOutcomes) {
        if (known.status == facts.status)
            outcome = &known;
    }
    event.type = outcome->type;
    event.id = outcome->id;
    Next(event).Plain(outcome->sentence);
    if (outcome->fact)
        Next(event, outcome->factLabel).Value(facts.*(outcome->fact));
}

void RequestNumberLine(const RunEndFacts& facts, RunEvent& event) {
    EventString& line = Next(event, L"Request number");
    if (!facts.requestNumberLogged) {
        line.Plain(L"none (the job had not logged it)");
    } else if (facts.requestNumber.empty()) {
        line.Plain(L"(empty)");
    } else {
        const std::wstring_view shown = LastCharacters(facts.requestNumber, kRequestNumberShown);
        if (shown.size() < facts.requestNumber.size())
            line.Plain(L"...");
        line.Value(shown);
    }
}

} // namespace

void ComposeRunEvent(const RunEndFacts& facts, RunEvent& event) {
    event.count = 0;
    if (facts.crashed) {
        event.type = RunEventType::Error;
        event.id = kEventCrashed;
        CrashStrings(facts, event);
    } else {
        OutcomeStrings(facts, event);
    }
    EventString& part = Next(event, L"Part");
    if (facts.part > 0)
        part.Decimal(static_cast<std::uint64_t>(facts.part));
    else
        part.Plain(L"none (the job had not begun)");
    RequestNumberLine(facts, event);
    Seconds(Next(event, L"Run length"), facts.runMs);
    Next(event, L"Version").Value(facts.version);
    EventString& status = Next(event, L"Exit status");
    if (facts.crashed)
        status.Hex(static_cast<std::uint32_t>(facts.status), 8);
    else
        status.Decimal(static_cast<std::uint64_t>(facts.status));
}

std::wstring RunEvent::Text() const {
    std::wstring text;
    for (std::size_t i = 0; i < count; ++i)
        text.append(strings[i].View()).append(L"\r\n");
    return text;
}

} // namespace brevanto
