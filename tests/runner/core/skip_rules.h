#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevanto::runner {

// Where a run takes place, as far as the skip categories care.
struct RunPlace {
    bool wine = false;
    bool hosted = false; // a hosted CI runner (GitHub's windows-latest)
    bool elevated = false;
};

// The category of a skip's text ("<category>: <why>"); empty when it names none the runner knows.
std::string SkipCategoryOf(std::string_view skipText);

// Why a strict run refuses this skip where it ran: it names no category, or one that cannot be
// true here (wine-only under Wine, windows-only on Windows, needs-elevation in an elevated run or
// on a hosted runner). Nothing when the skip is allowed.
std::optional<std::string> SkipRefusal(std::string_view skipText, const RunPlace& place);

} // namespace brevanto::runner
