#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevanto::runner {

enum class LineKind { Start, End, Allowance, WindowsOnly };
enum class Outcome { Passed, Failed, Skipped };

// One protocol line a driver wrote (result_protocol.h), taken apart.
struct ResultLine {
    LineKind kind = LineKind::Start;
    std::string test;
    Outcome outcome = Outcome::Passed; // an end line's
    long long ms = 0;                  // an end line's
    // A skip's "<category>: <why>", an allowance's why, a Windows-only check's what.
    std::string text;
};

// The line taken apart; nothing for a line that is not a protocol line or does not follow it.
// A trailing carriage return (a driver's text-mode output) is not part of it.
std::optional<ResultLine> ParseResultLine(std::string_view line);

// "passed", "failed", "skipped".
std::string_view OutcomeWord(Outcome outcome);

} // namespace brevanto::runner
