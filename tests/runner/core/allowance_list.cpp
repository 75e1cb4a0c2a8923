#include "tests/runner/core/allowance_list.h"

#include <algorithm>
#include <set>
#include <utility>

#include "tests/runner/core/text_lines.h"

namespace brevanto::runner {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool ForArch(const ListedAllowance& entry, std::string_view arch) {
    return entry.arch == "*" || entry.arch == arch;
}

} // namespace

AllowanceList ParseAllowanceList(std::string_view text) {
    AllowanceList list;
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::string_view line = TakeLine(text);
        if (line.empty() || line.starts_with('#'))
            continue;
        const auto firstTab = line.find('\t');
        const auto secondTab =
            firstTab == std::string_view::npos ? firstTab : line.find('\t', firstTab + 1);
        const std::string where = "line " + std::to_string(number) + ": ";
        if (secondTab == std::string_view::npos) {
            list.errors.push_back(where + "not <arch>TAB<test>TAB<why>");
            continue;
        }
        ListedAllowance entry{std::string(line.substr(0, firstTab)),
                              std::string(line.substr(firstTab + 1, secondTab - firstTab - 1)),
                              std::string(line.substr(secondTab + 1)), number};
        if (entry.arch != "i686" && entry.arch != "x64" && entry.arch != "*")
            list.errors.push_back(where + "the architecture is i686, x64 or *, not \"" +
                                  entry.arch + "\"");
        else if (entry.test.empty() || entry.test.find(' ') != std::string::npos)
            list.errors.push_back(where + "no test full name");
        else if (entry.why.empty())
            list.errors.push_back(where + "no why");
        else
            list.entries.push_back(std::move(entry));
    }
    return list;
}

AllowanceComparison CompareAllowances(const std::vector<ListedAllowance>& listed,
                                      std::string_view arch,
                                      const std::vector<TakenAllowance>& taken,
                                      const std::vector<std::string>& testsThatRan) {
    std::set<std::pair<std::string, std::string>> listedHere;
    for (const ListedAllowance& entry : listed)
        if (ForArch(entry, arch))
            listedHere.emplace(entry.test, entry.why);
    std::set<std::pair<std::string, std::string>> takenSet;
    AllowanceComparison comparison;
    for (const TakenAllowance& allowance : taken) {
        if (!takenSet.emplace(allowance.test, allowance.why).second)
            continue;
        if (!listedHere.contains({allowance.test, allowance.why}))
            comparison.unlisted.push_back(allowance);
    }
    const std::set<std::string> ran(testsThatRan.begin(), testsThatRan.end());
    std::set<std::pair<std::string, std::string>> reported;
    for (const ListedAllowance& entry : listed) {
        if (!ForArch(entry, arch) || !ran.contains(entry.test) ||
            takenSet.contains({entry.test, entry.why}) ||
            !reported.emplace(entry.test, entry.why).second)
            continue;
        comparison.unused.push_back(entry);
    }
    return comparison;
}

} // namespace brevanto::runner
