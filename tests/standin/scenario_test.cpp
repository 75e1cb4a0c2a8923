#include "scenario.h"

#include <gtest/gtest.h>

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

TEST(Scenario, FailDescriptionMayHoldEscapedSemicolon) {
    const Scenario scenario =
        Scenario::Parse(u" fail:User.LoginUser=Bad\\; try again ; block:User.LoginUser=5");
    const CallPlan plan = scenario.PlanFor("User", "LoginUser");
    ASSERT_TRUE(plan.failure);
    EXPECT_EQ(plan.failure->style, Failure::Style::Exception);
    EXPECT_EQ(plan.failure->description, u"Bad; try again");
    ASSERT_EQ(plan.delays.size(), 1u);
    EXPECT_FALSE(plan.delays[0].pumpMessages);
    EXPECT_EQ(plan.delays[0].milliseconds, 5u);
}

TEST(Scenario, EmptyDescriptionIsStillAFailure) {
    const CallPlan plan = Scenario::Parse(u"fail:User.LoginUser=").PlanFor("User", "LoginUser");
    ASSERT_TRUE(plan.failure);
    EXPECT_EQ(plan.failure->description, u"");
}

TEST(Scenario, TargetsMatchIgnoringCase) {
    const Scenario scenario = Scenario::Parse(u"pump:viewer.show_results=250;nocreate:VIEWER");
    const CallPlan plan = scenario.PlanFor("Viewer", "Show_Results");
    ASSERT_EQ(plan.delays.size(), 1u);
    EXPECT_TRUE(plan.delays[0].pumpMessages);
    EXPECT_TRUE(scenario.RefusesClass("Viewer"));
    EXPECT_FALSE(scenario.RefusesClass("User"));
}

TEST(Scenario, CollectsEveryEffectForOneMember) {
    const Scenario scenario = Scenario::Parse(
        u"click:Classes.OpenMainReport=Test;pump:Classes.OpenMainReport=10;"
        u"failhr:Classes.OpenMainReport=0x80004005;fail:Classes.OpenMainReport=ignored");
    const CallPlan plan = scenario.PlanFor("Classes", "OpenMainReport");
    ASSERT_EQ(plan.clicks.size(), 1u);
    EXPECT_EQ(plan.clicks[0], ClickTarget::Test);
    ASSERT_EQ(plan.delays.size(), 1u);
    ASSERT_TRUE(plan.failure);
    EXPECT_EQ(plan.failure->style, Failure::Style::Hresult);
    EXPECT_EQ(plan.failure->hresult, 0x80004005u);
}

TEST(Scenario, OtherMembersAreUntouched) {
    const Scenario scenario = Scenario::Parse(u"faildeferred:Viewer.Export=x;nonobject:User.X");
    const CallPlan plan = scenario.PlanFor("Viewer", "Show_Results");
    EXPECT_TRUE(plan.clicks.empty());
    EXPECT_TRUE(plan.delays.empty());
    EXPECT_FALSE(plan.failure);
    EXPECT_FALSE(plan.nonObject);
    EXPECT_TRUE(scenario.PlanFor("User", "x").nonObject);
}

TEST(Scenario, SkipsWhatItDoesNotUnderstand) {
    const Scenario scenario = Scenario::Parse(
        u"explode:User.LoginUser=1;block:User.LoginUser=soon;click:User.LoginUser=OK;"
        u"failhr:User.LoginUser=xyz;fail:LoginUser=no object;;  ;zeltarclasses:property");
    const CallPlan plan = scenario.PlanFor("User", "LoginUser");
    EXPECT_TRUE(plan.clicks.empty());
    EXPECT_TRUE(plan.delays.empty());
    EXPECT_FALSE(plan.failure);
    EXPECT_FALSE(scenario.ZeltarClassesIsMethod());
}

TEST(Scenario, ZeltarClassesCanBecomeAMethod) {
    EXPECT_TRUE(Scenario::Parse(u"zeltarclasses:method").ZeltarClassesIsMethod());
}

} // namespace
} // namespace brevanto::standin
