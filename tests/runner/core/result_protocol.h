#pragma once

#include <array>
#include <string_view>

namespace brevanto::runner {

// What a test driver tells the runner, one line at a time on its standard output, beside
// GoogleTest's own printing. Each line starts with the marker, then a word, then the test's full
// name (Suite.Name, Prefix/Suite.Name/Param: GoogleTest's names hold no blank), then, for some
// words, a text to the end of the line (line breaks in it are written as blanks):
//
//   @brevanto-test start <test>
//   @brevanto-test end <test> passed <ms>
//   @brevanto-test end <test> failed <ms>
//   @brevanto-test end <test> skipped <ms> <category>: <why>
//   @brevanto-test allowance <test> <why>        a WineOnly allowance the test took under Wine
//   @brevanto-test windows-only <test> <what>    a check only Windows can make, not made here
//
// A test with a start and no end did not finish: its driver crashed, hung or ended early.
inline constexpr std::string_view kLineMarker = "@brevanto-test ";

inline constexpr std::string_view kStartWord = "start";
inline constexpr std::string_view kEndWord = "end";
inline constexpr std::string_view kAllowanceWord = "allowance";
inline constexpr std::string_view kWindowsOnlyWord = "windows-only";

inline constexpr std::string_view kPassed = "passed";
inline constexpr std::string_view kFailed = "failed";
inline constexpr std::string_view kSkipped = "skipped";

// Every skip says why in one of these categories, as "<category>: <why>". A skip with no
// category, or one that is not allowed where it ran, fails a strict run.
struct SkipCategory {
    std::string_view name;
    std::string_view meaning;
};

inline constexpr std::string_view kWineOnlySkip = "wine-only";
inline constexpr std::string_view kWindowsOnlySkip = "windows-only";
inline constexpr std::string_view kNeedsElevationSkip = "needs-elevation";
inline constexpr std::string_view kNotApplicableSkip = "not-applicable";
inline constexpr std::string_view kOtherBuildMissingSkip = "other-build-missing";
inline constexpr std::string_view kNoWitnessSkip = "no-witness";
inline constexpr std::string_view kLayoutNotComparableSkip = "layout-not-comparable";

inline constexpr std::array<SkipCategory, 7> kSkipCategories{{
    {kWineOnlySkip, "proves what only Wine has; skipped on Windows, never under Wine"},
    {kWindowsOnlySkip, "proves what only Windows has; skipped under Wine, never on Windows"},
    {kNeedsElevationSkip, "needs an elevated run; never skipped on a hosted runner"},
    {kNotApplicableSkip, "what it proves does not exist on this system (one registry view on "
                         "32-bit Windows, a kernel that runs no 32-bit programs)"},
    {kOtherBuildMissingSkip, "needs the other architecture's build beside this one"},
    {kNoWitnessSkip, "nothing here could observe the outcome in the time it is given"},
    {kLayoutNotComparableSkip, "pixel layout is compared at 96 DPI only"},
}};

} // namespace brevanto::runner
