#include "tests/runner/core/facts.h"

#include <algorithm>
#include <cstdio>

namespace brevanto::runner {

std::vector<std::string> FactLines(const std::vector<Fact>& facts) {
    std::size_t width = 0;
    for (const Fact& fact : facts)
        width = std::max(width, fact.label.size());
    std::vector<std::string> lines;
    for (const Fact& fact : facts)
        lines.push_back("  " + fact.label + std::string(width + 2 - fact.label.size(), ' ') +
                        fact.value);
    return lines;
}

std::string DepPolicyText(int policy) {
    switch (policy) {
    case 0:
        return "AlwaysOff";
    case 1:
        return "AlwaysOn";
    case 2:
        return "OptIn";
    case 3:
        return "OptOut";
    }
    return "unknown (" + std::to_string(policy) + ")";
}

std::string ClockTickText(unsigned long increment) {
    char text[32];
    std::snprintf(text, sizeof text, "%lu.%04lu", increment / 10000, increment % 10000);
    std::string ms = text;
    while (ms.back() == '0')
        ms.pop_back();
    if (ms.back() == '.')
        ms.pop_back();
    return ms + " ms";
}

std::string UacText(std::optional<unsigned long> enableLua,
                    std::optional<unsigned long> consentPromptBehaviorAdmin) {
    if (enableLua && *enableLua == 0)
        return "off (EnableLUA 0): administrators run elevated, and ignore per-user classes";
    if (consentPromptBehaviorAdmin && *consentPromptBehaviorAdmin == 0)
        return "on, administrators elevated without a prompt";
    return "on";
}

} // namespace brevanto::runner
