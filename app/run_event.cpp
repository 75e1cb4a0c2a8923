#include "app/run_event.h"

#include <cwchar>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "app/exit_status.h"
#include "report/exception_name.h"

namespace brevanto {
namespace {

std::wstring Hex(std::uint64_t value, int digits) {
    wchar_t text[24];
    std::swprintf(text, std::size(text), L"0x%0*llX", digits,
                  static_cast<unsigned long long>(value));
    return text;
}

std::wstring Seconds(std::uint64_t ms) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%llu.%03llu s",
                  static_cast<unsigned long long>(ms / 1000),
                  static_cast<unsigned long long>(ms % 1000));
    return text;
}

std::wstring Line(std::wstring_view label, std::wstring_view value) {
    return std::wstring(label) + L": " + std::wstring(value);
}

std::wstring FileName(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring DumpLine(const RunEndFacts& facts) {
    switch (facts.dump) {
    case DumpWritten::NotConfigured:
        return Line(L"Dump", L"none (LocalDumps is not configured)");
    case DumpWritten::Written:
        return Line(L"Dump", facts.dumpPath);
    case DumpWritten::CutShort:
        return Line(L"Dump", L"not finished within " + Seconds(facts.dumpLimitMs) +
                                 L" of the crash, and deleted: " + facts.dumpPath);
    case DumpWritten::Failed:
        return Line(L"Dump", L"not written: " + facts.dumpProblem);
    }
    return std::wstring();
}

std::vector<std::wstring> CrashLines(const RunEndFacts& facts) {
    const bool known = !facts.module.empty();
    return {
        L"Brevanto crashed with exception " +
            ExceptionCodeText(static_cast<std::uint32_t>(facts.status)) + L".",
        Line(L"Faulting module",
             known ? FileName(facts.module) + L" at offset " + Hex(facts.offset, 8) : L"unknown"),
        Line(L"Module path", known ? facts.module : L"none"),
        Line(L"Member being called", facts.member.empty() ? L"none" : facts.member),
        DumpLine(facts),
    };
}

} // namespace

std::wstring ExceptionCodeText(std::uint32_t code) {
    std::wstring text = Hex(code, 8);
    if (const std::wstring_view name = ExceptionName(code); !name.empty())
        text += L" (" + std::wstring(name) + L")";
    return text;
}

RunEvent RunEventFor(const RunEndFacts& facts) {
    RunEvent event{RunEventType::Error, kEventCrashed, {}};
    if (facts.crashed) {
        event.lines = CrashLines(facts);
    } else {
        switch (facts.status) {
        case kExitJobCompleted:
            event = {RunEventType::Information, kEventCompleted, {L"The report job completed."}};
            break;
        case kExitJobFailed:
            event = {RunEventType::Error,
                     kEventFailed,
                     {L"The report job failed.", Line(L"Caption", facts.failureCaption)}};
            break;
        case kExitCutOffByTimer:
            event = {RunEventType::Warning,
                     kEventCutOffByTimer,
                     {L"The exit timer ended the program before the report job finished."}};
            break;
        case kExitCancelledInJob:
            event = {RunEventType::Information,
                     kEventCancelled,
                     {L"Cancel ended the program before the report job finished."}};
            break;
        case kExitUnhandledError:
            event = {RunEventType::Error,
                     kEventUnhandledError,
                     {L"An error outside the report job ended the program.",
                      Line(L"Error", facts.errorText)}};
            break;
        default:
            event = {RunEventType::Error,
                     kEventEndedByExitGuard,
                     {L"A component call held the program past its exit time; the exit guard "
                      L"ended it."}};
            break;
        }
    }
    event.lines.push_back(Line(L"Part", facts.part > 0 ? std::to_wstring(facts.part)
                                                       : L"none (the job had not begun)"));
    event.lines.push_back(Line(L"Request number", facts.requestNumber));
    event.lines.push_back(Line(L"Run length", Seconds(facts.runMs)));
    event.lines.push_back(Line(L"Version", facts.version));
    event.lines.push_back(
        Line(L"Exit status", facts.crashed ? Hex(static_cast<std::uint32_t>(facts.status), 8)
                                           : std::to_wstring(facts.status)));
    return event;
}

std::wstring RunEvent::Text() const {
    std::wstring text;
    for (const auto& line : lines)
        text += line + L"\r\n";
    return text;
}

} // namespace brevanto
