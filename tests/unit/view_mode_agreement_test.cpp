#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "check/core/settings_review.h"
#include "report/report_job.h"
#include "tests/unit/check_facts.h"
#include "tests/unit/fakes.h"

namespace brevanto::testing {
namespace {

// What the job did with the viewer in part 7, read from its calls and its caption, in the terms
// of the check's prediction.
check::JobPath WhatTheJobDid(const FakeWindow& window, const CallJournal& journal) {
    const auto called = [&](const wchar_t* call) {
        return std::find(journal.calls.begin(), journal.calls.end(), call) != journal.calls.end();
    };
    check::JobPath did;
    if (window.state.Outcome == JobOutcome::Failed) {
        did.stopsInPart7 = window.state.CurrentPart == 7;
        did.stopCaption = window.caption;
        return did;
    }
    did.viewOnly = !called(L"Viewer.get zeltarUser");
    did.print = !did.viewOnly && called(L"Viewer.put loadviewer true");
    did.exportResults = called(L"Viewer.put Export true");
    return did;
}

// The job and the check's prediction decide through one rule (report/view_mode.h), so the rule
// cannot differ between them. What can is the order around it, which each writes for itself: the
// prediction must read the settings in the job's order (the view mode, then the two switches only
// when not view only) and stop at the same setting with the same caption. Both run over every
// combination of stored values, a bad one among them in each place, and must agree case by case.
TEST(ViewModeRule, TheChecksPredictionReadsInTheJobsOrderAndStopsAtTheSameSetting) {
    const std::optional<std::wstring> viewModes[] = {std::nullopt, L"0",  L"1", L" 0 ", L"0.0",
                                                     L"2",         L"-0", L"",  L"x"};
    const std::optional<std::wstring> switches[] = {std::nullopt, L"1", L"0", L"1e0", L"2", L"on"};
    int viewOnly = 0, printed = 0, exported = 0, stopped = 0;
    for (const auto& viewMode : viewModes) {
        for (const auto& print : switches) {
            for (const auto& exportSwitch : switches) {
                MemoryStore store;
                const std::pair<const wchar_t*, const std::optional<std::wstring>*> stored[] = {
                    {L"ViewMode", &viewMode},
                    {L"chkPrintRPT", &print},
                    {L"chkCRW85Export", &exportSwitch}};
                std::string name;
                for (const auto& [key, value] : stored) {
                    name += Narrow(key) + "=" + (*value ? "\"" + Narrow(**value) + "\" " : "- ");
                    if (*value)
                        store.Set(L"Settings", key, **value);
                }
                SCOPED_TRACE(name);

                CallJournal journal;
                FakeFactory factory(journal);
                FakeWindow window;
                GenerateReport(window, store, factory, L"C:\\Lab");
                const check::JobPath did = WhatTheJobDid(window, journal);
                const check::JobPath predicted = check::ReviewJobPath(store);

                EXPECT_EQ(predicted.stopsInPart7, did.stopsInPart7);
                if (did.stopsInPart7) {
                    EXPECT_EQ(predicted.stopCaption, did.stopCaption);
                    ++stopped;
                    continue;
                }
                EXPECT_EQ(predicted.viewOnly, did.viewOnly);
                if (!did.viewOnly) {
                    EXPECT_EQ(predicted.print, did.print);
                }
                EXPECT_EQ(predicted.exportResults, did.exportResults);
                viewOnly += did.viewOnly;
                printed += did.print;
                exported += did.exportResults;
            }
        }
    }
    // The table reaches every branch, so agreement is not agreement on one of them only.
    EXPECT_GT(viewOnly, 0);
    EXPECT_GT(printed, 0);
    EXPECT_GT(exported, 0);
    EXPECT_GT(stopped, 0);
}

} // namespace
} // namespace brevanto::testing
