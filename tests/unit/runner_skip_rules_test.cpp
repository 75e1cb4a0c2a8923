#include <gtest/gtest.h>

#include "tests/runner/core/skip_rules.h"

namespace brevanto::runner {
namespace {

TEST(RunnerSkipRules, AStrictRunRefusesASkipWithNoCategoryOrOneThatCannotBeTrueThere) {
    const RunPlace wine{true, false, true};
    const RunPlace hosted{false, true, true};
    const RunPlace workstation{false, false, false};
    const RunPlace elevatedWorkstation{false, false, true};
    struct Case {
        const char* name;
        const char* skip;
        RunPlace place;
        const char* refusal; // "" when allowed
    };
    const Case cases[] = {
        {"no category", "the other build is not here", wine,
         "the skip names no category (\"<category>: <why>\")"},
        {"empty", "", workstation, "the skip names no category (\"<category>: <why>\")"},
        {"unknown category", "flaky: sometimes", workstation,
         "the skip names no category (\"<category>: <why>\")"},
        {"category without its colon and blank", "wine-only:x", workstation,
         "the skip names no category (\"<category>: <why>\")"},
        {"wine-only under Wine", "wine-only: Wine's debug channel", wine,
         "a wine-only skip under Wine"},
        {"wine-only on Windows", "wine-only: Wine's debug channel", workstation, ""},
        {"windows-only on Windows", "windows-only: WerFault", hosted,
         "a windows-only skip on Windows"},
        {"windows-only under Wine", "windows-only: WerFault", wine, ""},
        {"needs-elevation on a hosted runner", "needs-elevation: msiexec", hosted,
         "a needs-elevation skip on a hosted runner, which runs elevated"},
        {"needs-elevation elevated", "needs-elevation: msiexec", elevatedWorkstation,
         "a needs-elevation skip in an elevated run"},
        {"needs-elevation as a standard user", "needs-elevation: msiexec", workstation, ""},
        {"not-applicable", "not-applicable: one registry view", hosted, ""},
        {"other-build-missing", "other-build-missing: no mingw-x64", wine, ""},
        {"no-witness", "no-witness: dbghelp took over 5 s", wine, ""},
        {"layout-not-comparable", "layout-not-comparable: 144 DPI", workstation, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SkipRefusal(c.skip, c.place).value_or(""), c.refusal);
    }
}

TEST(RunnerSkipRules, TheCategoryIsTheKnownWordBeforeTheFirstColon) {
    struct Case {
        const char* skip;
        const char* category;
    };
    const Case cases[] = {
        {"no-witness: a: b", "no-witness"},
        {"needs-elevation: x", "needs-elevation"},
        {"Needs-Elevation: x", ""},
        {" no-witness: x", ""},
        {"no-witness", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.skip);
        EXPECT_EQ(SkipCategoryOf(c.skip), c.category);
    }
}

} // namespace
} // namespace brevanto::runner
