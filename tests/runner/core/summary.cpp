#include "tests/runner/core/summary.h"

#include <map>
#include <set>

namespace brevanto::runner {

Counts CountOf(const std::vector<TestRecord>& tests) {
    Counts counts;
    for (const TestRecord& test : tests) {
        if (test.outcome == Outcome::Passed)
            ++counts.passed;
        else if (test.outcome == Outcome::Skipped)
            ++counts.skipped;
        else
            ++counts.failed;
    }
    return counts;
}

std::string LastLine(const Counts& counts) {
    return std::to_string(counts.passed) + " passed, " + std::to_string(counts.failed) +
           " failed, " + std::to_string(counts.skipped) + " skipped";
}

std::vector<Refusal> Refusals(const std::vector<TestRecord>& tests, const RunPlace& place,
                              const AllowanceComparison& allowances) {
    std::vector<Refusal> refusals;
    for (const TestRecord& test : tests) {
        if (test.outcome != Outcome::Skipped)
            continue;
        if (const auto why = SkipRefusal(test.message, place))
            refusals.push_back({test.name, *why + ": \"" + test.message + "\""});
    }
    if (place.wine) {
        for (const TakenAllowance& allowance : allowances.unlisted)
            refusals.push_back({allowance.test, "an allowance the list of allowances expected "
                                                "under Wine does not hold: \"" +
                                                    allowance.why + "\""});
    }
    return refusals;
}

void CountAsFailed(std::vector<TestRecord>& tests, const std::vector<Refusal>& refusals) {
    for (const Refusal& refusal : refusals) {
        for (TestRecord& test : tests) {
            if (test.name != refusal.test || test.outcome == Outcome::Failed)
                continue;
            test.outcome = Outcome::Failed;
            test.message = "strict run: " + refusal.why;
        }
    }
}

std::vector<TakenAllowance> TakenAllowances(const std::vector<TestRecord>& tests) {
    std::vector<TakenAllowance> taken;
    for (const TestRecord& test : tests) {
        std::set<std::string> once;
        for (const std::string& why : test.allowances)
            if (once.insert(why).second)
                taken.push_back({test.name, why});
    }
    return taken;
}

std::vector<std::string> TestsThatRan(const std::vector<TestRecord>& tests) {
    std::vector<std::string> ran;
    for (const TestRecord& test : tests)
        if (test.done && test.started)
            ran.push_back(test.name);
    return ran;
}

std::vector<std::string> SummaryLines(const std::vector<TestRecord>& tests,
                                      const AllowanceComparison& allowances,
                                      const std::vector<Refusal>& refusals, bool strict) {
    std::vector<std::string> lines;
    std::map<std::string, std::vector<std::string>> skips;
    std::map<std::string, int> taken;
    std::map<std::string, int> windowsOnly;
    for (const TestRecord& test : tests) {
        if (test.outcome == Outcome::Failed)
            lines.push_back("FAILED " + test.name + (test.message.empty() ? "" : ": ") +
                            test.message.substr(0, test.message.find('\n')));
        if (test.outcome == Outcome::Skipped) {
            const std::string category = SkipCategoryOf(test.message);
            skips[category.empty() ? "(no category)" : category].push_back(test.name + ": " +
                                                                           test.message);
        }
        for (const std::string& why :
             std::set<std::string>(test.allowances.begin(), test.allowances.end()))
            ++taken[why];
        for (const std::string& what :
             std::set<std::string>(test.windowsOnly.begin(), test.windowsOnly.end()))
            ++windowsOnly[what];
    }
    for (const auto& [category, skipped] : skips) {
        lines.push_back("Skipped, " + category + ": " + std::to_string(skipped.size()));
        for (const std::string& skip : skipped)
            lines.push_back("  " + skip);
    }
    if (!taken.empty()) {
        lines.push_back("Wine allowances taken (tests, why):");
        for (const auto& [why, count] : taken)
            lines.push_back("  " + std::to_string(count) + "  " + why);
    }
    for (const TakenAllowance& allowance : allowances.unlisted)
        lines.push_back("Allowance not in the list: " + allowance.test + "\t" + allowance.why);
    for (const ListedAllowance& entry : allowances.unused)
        lines.push_back("Listed allowance not taken (line " + std::to_string(entry.line) +
                        "): " + entry.test + "\t" + entry.why);
    if (!windowsOnly.empty()) {
        lines.push_back("Checks only Windows can make, not made here (tests, what):");
        for (const auto& [what, count] : windowsOnly)
            lines.push_back("  " + std::to_string(count) + "  " + what);
    }
    for (const Refusal& refusal : refusals)
        lines.push_back(std::string(strict ? "Refused (strict): " : "A strict run would refuse: ") +
                        refusal.test + ": " + refusal.why);
    return lines;
}

} // namespace brevanto::runner
