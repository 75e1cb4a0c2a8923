#include "journal_escape.h"
#include "scenario.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>

namespace brevanto::standin {
namespace {

TEST(ScenarioDescription, ResolvesItsThreeEscapes) {
    EXPECT_EQ(UnescapeDescription(u"a\\;b\\\\c\\u00e9"), u"a;b\\c\u00e9");
}

TEST(ScenarioDescription, KeepsUnknownOrIncompleteEscapesAsWritten) {
    EXPECT_EQ(UnescapeDescription(u"C:\\temp"), u"C:\\temp");
    EXPECT_EQ(UnescapeDescription(u"\\u12"), u"\\u12");
    EXPECT_EQ(UnescapeDescription(u"\\u12G4"), u"\\u12G4");
    EXPECT_EQ(UnescapeDescription(u"end\\"), u"end\\");
}

std::string FailureText(const Failure& failure) {
    switch (failure.style) {
    case Failure::Style::Exception:
        return "fail" + QuoteForJournal(failure.description);
    case Failure::Style::DeferredException:
        return "faildeferred" + QuoteForJournal(failure.description);
    case Failure::Style::Hresult:
        break;
    }
    char text[24];
    std::snprintf(text, sizeof text, "failhr0x%08X", static_cast<unsigned>(failure.hresult));
    return text;
}

// What a scenario asks of one member, as one line: easy to compare and to read when it differs.
std::string Summarize(const Scenario& scenario, std::string_view object, std::string_view member) {
    const CallPlan plan = scenario.PlanFor(object, member);
    std::string summary;
    const auto add = [&summary](const std::string& part) {
        summary += summary.empty() ? part : " " + part;
    };
    if (plan.observe)
        add("observe");
    if (plan.logLines)
        add("loglines");
    if (plan.dpiChange)
        add("dpichange" + std::to_string(*plan.dpiChange));
    for (const ClickTarget click : plan.clicks)
        add(click == ClickTarget::Test ? "click-Test" : "click-Cancel");
    if (plan.secondInterface)
        add("second");
    if (plan.nonObject)
        add("nonobject");
    if (scenario.HidesMember(object, member))
        add("hidden");
    for (const Delay& delay : plan.delays) {
        add(std::string(delay.pumpMessages ? "pump" : "block") +
            (delay.swallowQuit ? "-swallow" : "") + std::to_string(delay.milliseconds));
    }
    if (plan.failure)
        add(FailureText(*plan.failure));
    if (scenario.RefusesClass(object))
        add("nocreate");
    if (scenario.ZeltarClassesIsMethod())
        add("zeltarclasses-method");
    return summary;
}

struct DirectiveCase {
    const char* name;
    std::u16string scenario;
    std::string summary; // for Viewer.Show_Results, or for object.member when given
    const char* object = "Viewer";
    const char* member = "Show_Results";
};

void PrintTo(const DirectiveCase& param, std::ostream* out) {
    *out << param.name;
}

class ScenarioDirective : public testing::TestWithParam<DirectiveCase> {};

TEST_P(ScenarioDirective, PlansWhatItSays) {
    const DirectiveCase& param = GetParam();
    EXPECT_EQ(Summarize(Scenario::Parse(param.scenario), param.object, param.member),
              param.summary);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScenarioDirective,
    testing::Values(
        DirectiveCase{"Observe", u"observe:Viewer.Show_Results", "observe"},
        DirectiveCase{"ObserveIgnoresCase", u"OBSERVE:viewer.SHOW_RESULTS", "observe"},
        DirectiveCase{"ObserveOfAnotherMember", u"observe:Viewer.Export", ""},
        DirectiveCase{"ObserveValueBecomesPartOfMember", u"observe:Viewer.Show_Results=1", ""},
        DirectiveCase{"ObserveWithoutMemberSkipped", u"observe:Viewer", "", "Viewer", ""},
        DirectiveCase{"ObserveWithoutObjectSkipped", u"observe:.Show_Results", "", ""},
        DirectiveCase{"ObserveOfSecondInterfaceOnly", u"observe:Viewer2.Show_Results", ""},
        DirectiveCase{"ObserveOfSecondInterface", u"observe:Viewer2.Show_Results", "observe",
                      "Viewer2"},
        DirectiveCase{"LogLines", u"loglines:User.LoginUser", "loglines", "User", "LoginUser"},
        DirectiveCase{"LogLinesIgnoresCase", u"LOGLINES:viewer.show_results", "loglines"},
        DirectiveCase{"LogLinesOfAnotherMember", u"loglines:Viewer.Export", ""},
        DirectiveCase{"LogLinesWithValueSkipped", u"loglines:Viewer.Show_Results=1", ""},
        DirectiveCase{"LogLinesBesideObserve",
                      u"observe:Viewer.Show_Results;loglines:Viewer.Show_Results",
                      "observe loglines"},
        DirectiveCase{"Second", u"second:User.ZELTARClasses", "second", "User", "ZELTARClasses"},
        DirectiveCase{"SecondWithEmptyMemberSkipped", u"second:User.", "", "User", ""},
        DirectiveCase{"Hide", u"hide:Viewer.Show_Results", "hidden"},
        DirectiveCase{"HideIgnoresCase", u"Hide:VIEWER.show_results", "hidden"},
        DirectiveCase{"HideOfAnotherObject", u"hide:User.Show_Results", ""},
        DirectiveCase{"HideWithoutDotSkipped", u"hide:Show_Results", "", "Show_Results", ""},
        DirectiveCase{"Swallow", u"swallow:Viewer.Show_Results=250", "pump-swallow250"},
        DirectiveCase{"PumpDoesNotSwallow", u"pump:Viewer.Show_Results=250", "pump250"},
        DirectiveCase{"SwallowKeepsItsPlaceAmongDelays",
                      u"block:Viewer.Show_Results=1;swallow:Viewer.Show_Results=2;"
                      u"pump:Viewer.Show_Results=3",
                      "block1 pump-swallow2 pump3"},
        DirectiveCase{"SwallowWithoutValueSkipped", u"swallow:Viewer.Show_Results", ""},
        DirectiveCase{"SwallowEmptyValueSkipped", u"swallow:Viewer.Show_Results=", ""},
        DirectiveCase{"SwallowNonNumberSkipped", u"swallow:Viewer.Show_Results=soon", ""},
        DirectiveCase{"SwallowNegativeSkipped", u"swallow:Viewer.Show_Results=-5", ""},
        DirectiveCase{"DpiChange", u"dpichange:Viewer.Show_Results=144", "dpichange144"},
        DirectiveCase{"DpiChangeFirstWins",
                      u"dpichange:Viewer.Show_Results=144;dpichange:Viewer.Show_Results=192",
                      "dpichange144"},
        DirectiveCase{"DpiChangeLargestWord", u"dpichange:Viewer.Show_Results=65535",
                      "dpichange65535"},
        DirectiveCase{"DpiChangeBeyondWordSkipped", u"dpichange:Viewer.Show_Results=65536", ""},
        DirectiveCase{"DpiChangeZeroSkipped", u"dpichange:Viewer.Show_Results=0", ""},
        DirectiveCase{"DpiChangeFractionSkipped", u"dpichange:Viewer.Show_Results=1.5", ""},
        DirectiveCase{"DpiChangeWithoutValueSkipped", u"dpichange:Viewer.Show_Results", ""},
        DirectiveCase{"DpiChangeSkippedOneLeavesNext",
                      u"dpichange:Viewer.Show_Results=x;dpichange:Viewer.Show_Results=120",
                      "dpichange120"},
        DirectiveCase{"LookalikeVerbsSkipped",
                      u"observed:Viewer.Show_Results;seconds:Viewer.Show_Results;"
                      u"hidden:Viewer.Show_Results;swallows:Viewer.Show_Results=5;"
                      u"dpi:Viewer.Show_Results=144",
                      ""},
        DirectiveCase{"AllTogether",
                      u" swallow:Viewer.Show_Results=9 ; hide:Viewer.Show_Results;"
                      u"second:Viewer.Show_Results;dpichange:Viewer.Show_Results=120;"
                      u"observe:Viewer.Show_Results",
                      "observe dpichange120 second hidden pump-swallow9"},
        DirectiveCase{"FailDescriptionMayHoldEscapedSemicolon",
                      u" fail:User.LoginUser=Bad\\; try again ; block:User.LoginUser=5",
                      "block5 fail\"Bad; try again\"", "User", "LoginUser"},
        DirectiveCase{"EmptyDescriptionIsStillAFailure", u"fail:User.LoginUser=", "fail\"\"",
                      "User", "LoginUser"},
        DirectiveCase{"TargetsMatchIgnoringCase", u"pump:viewer.show_results=250;nocreate:VIEWER",
                      "pump250 nocreate"},
        DirectiveCase{"NoCreateOfAnotherObject", u"pump:viewer.show_results=250;nocreate:VIEWER",
                      "", "User"},
        DirectiveCase{
            "CollectsEveryEffectForOneMember",
            u"click:Classes.OpenMainReport=Test;pump:Classes.OpenMainReport=10;"
            u"failhr:Classes.OpenMainReport=0x80004005;fail:Classes.OpenMainReport=ignored",
            "click-Test pump10 failhr0x80004005", "Classes", "OpenMainReport"},
        DirectiveCase{"OtherMembersAreUntouched", u"faildeferred:Viewer.Export=x;nonobject:User.X",
                      ""},
        DirectiveCase{"FailDeferred", u"faildeferred:Viewer.Export=x;nonobject:User.X",
                      "faildeferred\"x\"", "Viewer", "Export"},
        DirectiveCase{"NonObjectIgnoresCase", u"faildeferred:Viewer.Export=x;nonobject:User.X",
                      "nonobject", "User", "x"},
        DirectiveCase{"SkipsWhatItDoesNotUnderstand",
                      u"explode:User.LoginUser=1;block:User.LoginUser=soon;click:User.LoginUser=OK;"
                      u"failhr:User.LoginUser=xyz;fail:LoginUser=no object;;  ;"
                      u"zeltarclasses:property",
                      "", "User", "LoginUser"},
        DirectiveCase{"ZeltarClassesCanBecomeAMethod", u"zeltarclasses:method",
                      "zeltarclasses-method"},
        DirectiveCase{"HidingLeavesTheCallAlone", u"hide:Viewer.Show_Results", "hidden"},
        DirectiveCase{"HideOfFirstInterfaceOnly", u"hide:Viewer.Show_Results", "", "Viewer2"},
        DirectiveCase{"HideOfAnotherMember", u"hide:Viewer.Show_Results", "", "Viewer", "Export"}),
    [](const testing::TestParamInfo<DirectiveCase>& info) { return info.param.name; });

} // namespace
} // namespace brevanto::standin
