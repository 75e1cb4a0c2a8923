#include "tests/runner/core/result_line.h"

#include <charconv>

#include "tests/runner/core/result_protocol.h"

namespace brevanto::runner {
namespace {

// The next word up to a blank, and what follows that blank.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text) {
    const auto blank = text.find(' ');
    if (blank == std::string_view::npos)
        return {text, {}};
    return {text.substr(0, blank), text.substr(blank + 1)};
}

std::optional<Outcome> OutcomeNamed(std::string_view word) {
    if (word == kPassed)
        return Outcome::Passed;
    if (word == kFailed)
        return Outcome::Failed;
    if (word == kSkipped)
        return Outcome::Skipped;
    return std::nullopt;
}

std::optional<long long> Milliseconds(std::string_view digits) {
    long long ms = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), ms);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || ms < 0)
        return std::nullopt;
    return ms;
}

} // namespace

std::optional<ResultLine> ParseResultLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    if (!line.starts_with(kLineMarker))
        return std::nullopt;
    const auto [word, afterWord] = SplitWord(line.substr(kLineMarker.size()));
    const auto [test, rest] = SplitWord(afterWord);
    if (test.empty())
        return std::nullopt;
    ResultLine result;
    result.test = std::string(test);
    if (word == kStartWord) {
        result.kind = LineKind::Start;
        return result;
    }
    if (word == kAllowanceWord || word == kWindowsOnlyWord) {
        result.kind = word == kAllowanceWord ? LineKind::Allowance : LineKind::WindowsOnly;
        result.text = std::string(rest);
        return result;
    }
    if (word != kEndWord)
        return std::nullopt;
    result.kind = LineKind::End;
    const auto [outcomeWord, afterOutcome] = SplitWord(rest);
    const auto outcome = OutcomeNamed(outcomeWord);
    if (!outcome)
        return std::nullopt;
    result.outcome = *outcome;
    const auto [msText, text] = SplitWord(afterOutcome);
    const auto ms = Milliseconds(msText);
    if (!ms || (*outcome != Outcome::Skipped && !text.empty()))
        return std::nullopt;
    result.ms = *ms;
    result.text = std::string(text);
    return result;
}

std::string_view OutcomeWord(Outcome outcome) {
    switch (outcome) {
    case Outcome::Passed:
        return kPassed;
    case Outcome::Failed:
        return kFailed;
    case Outcome::Skipped:
        return kSkipped;
    }
    return kFailed;
}

} // namespace brevanto::runner
