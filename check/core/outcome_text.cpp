#include "check/core/outcome_text.h"

#include <cwchar>
#include <iterator>
#include <string_view>

#include "report/exception_name.h"

namespace brevanto::check {
namespace {

// An exception code has a severity of warning or error; an exit status given to ExitProcess
// seldom does.
constexpr std::uint32_t kSeverityBit = 0x80000000;

} // namespace

std::wstring HexCode(std::uint32_t code) {
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"0x%08X", static_cast<unsigned>(code));
    return text;
}

std::wstring CrashDescription(std::uint32_t status) {
    if ((status & kSeverityBit) == 0)
        return L"ended its process with exit status " + std::to_wstring(status);
    std::wstring text = L"crashed with exception " + HexCode(status);
    if (const std::wstring_view name = ExceptionName(status); !name.empty())
        text += L" (" + std::wstring(name) + L")";
    return text;
}

std::wstring Duration(unsigned milliseconds) {
    if (milliseconds % 1000 == 0)
        return std::to_wstring(milliseconds / 1000) + L" s";
    return std::to_wstring(milliseconds) + L" ms";
}

std::wstring OutcomeDescription(const ClassFacts& c, unsigned timeLimitMs) {
    switch (c.outcome) {
    case CreationOutcome::Finished:
        break;
    case CreationOutcome::Crashed:
        return CrashDescription(c.crashCode);
    case CreationOutcome::NoAnswer:
        return L"did not return within " + Duration(timeLimitMs);
    }
    return {};
}

std::wstring StepDescription(const ClassFacts& c) {
    switch (c.stoppedIn) {
    case CreationStep::Create:
        break;
    case CreationStep::LookUp:
        return L"while its member " + c.stoppedMember + L" was being looked up";
    case CreationStep::Release:
        return c.created ? L"while it was being released"
                         : L"while OLE was being ended after the failed creation";
    }
    return L"while it was being created";
}

} // namespace brevanto::check
