#include "check/core/outcome_text.h"

#include <cwchar>
#include <iterator>
#include <string_view>
#include <utility>

namespace brevanto::check {
namespace {

// The exceptions a component's crash shows most; others are given by their code alone.
constexpr std::pair<std::uint32_t, std::wstring_view> kKnownExceptions[] = {
    {0x80000003, L"breakpoint"},
    {0xC0000005, L"access violation"},
    {0xC000001D, L"illegal instruction"},
    {0xC0000094, L"integer division by zero"},
    {0xC00000FD, L"stack overflow"},
    {0xC0000374, L"heap corruption"},
    // Our own crash handling ends the process with this code on abort or std::terminate.
    {0xC0000409, L"fail-fast exit: abort, std::terminate or a stack buffer overrun"},
    {0xE06D7363, L"C++ exception not caught"},
};

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
    for (const auto& [code, name] : kKnownExceptions)
        if (code == status)
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
