#include "tests/runner/core/test_list.h"

#include <set>

#include "tests/runner/core/text_lines.h"

namespace brevanto::runner {
namespace {

// A listed name without GoogleTest's "  # GetParam() = ..." remark and trailing blanks.
std::string_view WithoutRemark(std::string_view text) {
    const auto remark = text.find("  #");
    if (remark != std::string_view::npos)
        text = text.substr(0, remark);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// GoogleTest's own rule: a suite or test name that starts with DISABLED_, or holds /DISABLED_.
bool Disabled(std::string_view suite, std::string_view name) {
    const auto disabled = [](std::string_view text) {
        return text.starts_with("DISABLED_") || text.find("/DISABLED_") != std::string_view::npos;
    };
    return disabled(suite) || disabled(name);
}

std::string Joined(const std::vector<std::string>& names, std::string_view lead) {
    std::string filter(lead);
    for (const std::string& name : names) {
        if (filter.size() > lead.size())
            filter += ':';
        filter += name;
    }
    return filter;
}

bool MatchesPattern(std::string_view text, std::string_view pattern) {
    if (pattern.empty())
        return text.empty();
    if (pattern.front() == '*')
        return MatchesPattern(text, pattern.substr(1)) ||
               (!text.empty() && MatchesPattern(text.substr(1), pattern));
    if (text.empty() || (pattern.front() != '?' && pattern.front() != text.front()))
        return false;
    return MatchesPattern(text.substr(1), pattern.substr(1));
}

bool MatchesAny(std::string_view test, std::string_view patterns) {
    for (;;) {
        const auto colon = patterns.find(':');
        if (MatchesPattern(test, patterns.substr(0, colon)))
            return true;
        if (colon == std::string_view::npos)
            return false;
        patterns.remove_prefix(colon + 1);
    }
}

} // namespace

bool MatchesFilter(std::string_view test, std::string_view filter) {
    const auto dash = filter.find('-');
    std::string_view positive = filter.substr(0, dash);
    const std::string_view negative =
        dash == std::string_view::npos ? std::string_view() : filter.substr(dash + 1);
    if (positive.empty())
        positive = "*";
    return MatchesAny(test, positive) && (negative.empty() || !MatchesAny(test, negative));
}

std::vector<std::string> ParseTestList(std::string_view listOutput) {
    std::vector<std::string> tests;
    std::string suite;
    while (!listOutput.empty()) {
        const std::string_view line = TakeLine(listOutput);
        if (line.starts_with("  ")) {
            const std::string_view name = WithoutRemark(line.substr(2));
            if (!suite.empty() && !name.empty() && !Disabled(suite, name))
                tests.push_back(suite + "." + std::string(name));
        } else {
            const std::string_view heading = WithoutRemark(line);
            suite = heading.ends_with('.') && heading.find(' ') == std::string_view::npos
                        ? std::string(heading.substr(0, heading.size() - 1))
                        : std::string();
        }
    }
    return tests;
}

std::vector<std::string> ShardOf(const std::vector<std::string>& tests, int index, int count) {
    std::vector<std::string> shard;
    if (count <= 0 || index < 0 || index >= count)
        return shard;
    for (std::size_t i = static_cast<std::size_t>(index); i < tests.size();
         i += static_cast<std::size_t>(count))
        shard.push_back(tests[i]);
    return shard;
}

std::string FilterFor(const std::vector<std::string>& wanted, const std::vector<std::string>& all) {
    const std::set<std::string> wantedSet(wanted.begin(), wanted.end());
    std::vector<std::string> others;
    for (const std::string& test : all)
        if (!wantedSet.contains(test))
            others.push_back(test);
    if (others.empty())
        return "*";
    if (wanted.empty())
        return "-*";
    const std::string positive = Joined(wanted, "");
    const std::string negative = Joined(others, "-");
    return negative.size() < positive.size() ? negative : positive;
}

} // namespace brevanto::runner
