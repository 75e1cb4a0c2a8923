#include "tests/runner/core/skip_rules.h"

#include "tests/runner/core/result_protocol.h"

namespace brevanto::runner {

std::string SkipCategoryOf(std::string_view skipText) {
    const auto colon = skipText.find(": ");
    if (colon == std::string_view::npos)
        return {};
    const std::string_view name = skipText.substr(0, colon);
    for (const SkipCategory& category : kSkipCategories)
        if (category.name == name)
            return std::string(name);
    return {};
}

std::optional<std::string> SkipRefusal(std::string_view skipText, const RunPlace& place) {
    const std::string category = SkipCategoryOf(skipText);
    if (category.empty())
        return "the skip names no category (\"<category>: <why>\")";
    if (category == kWineOnlySkip && place.wine)
        return "a wine-only skip under Wine";
    if (category == kWindowsOnlySkip && !place.wine)
        return "a windows-only skip on Windows";
    if (category == kNeedsElevationSkip && place.hosted)
        return "a needs-elevation skip on a hosted runner, which runs elevated";
    if (category == kNeedsElevationSkip && place.elevated)
        return "a needs-elevation skip in an elevated run";
    return std::nullopt;
}

} // namespace brevanto::runner
