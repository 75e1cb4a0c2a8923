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

std::string LockText(HeldLock lock) {
    return lock == HeldLock::Loader ? "loader" : "heap";
}

std::string CrashText(CrashKind crash) {
    switch (crash) {
    case CrashKind::AccessViolation:
        return "av";
    case CrashKind::CppException:
        return "cpp";
    case CrashKind::StackOverflow:
        return "stack";
    }
    return "?";
}

// What a scenario asks of one member and of its object's creation, as one line: easy to compare
// and to read when it differs.
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
    if (plan.startThread)
        add("thread");
    if (plan.threadTimer)
        add("threadtimer");
    if (plan.dpiChange)
        add("dpichange" + std::to_string(*plan.dpiChange));
    if (plan.crashFilter)
        add("crashfilter");
    for (const HeldLock lock : plan.locks)
        add("lock-" + LockText(lock));
    for (const ClickTarget click : plan.clicks)
        add(click == ClickTarget::Test ? "click-Test" : "click-Cancel");
    if (plan.box)
        add("box");
    if (plan.secondInterface)
        add("second");
    if (plan.asUnknown)
        add("unknown");
    if (plan.nonObject)
        add("nonobject");
    if (scenario.HidesMember(object, member))
        add("hidden");
    for (const Delay& delay : plan.delays) {
        add(std::string(delay.pumpMessages ? "pump" : "block") +
            (delay.swallowQuit ? "-swallow" : "") + std::to_string(delay.milliseconds));
    }
    if (plan.crashLaterMs)
        add("crashlater" + std::to_string(*plan.crashLaterMs));
    if (plan.handledOverflow)
        add("overflow\"" + std::string(plan.handledOverflow->begin(), plan.handledOverflow->end()) +
            "\"");
    if (plan.crash)
        add("crash-" + CrashText(*plan.crash));
    if (plan.failure)
        add(FailureText(*plan.failure));
    if (scenario.RefusesClass(object))
        add("nocreate");
    const CreationPlan creation = scenario.PlanForCreation(object);
    if (creation.startThread)
        add("createthread");
    for (const HeldLock lock : creation.locks)
        add("createlock-" + LockText(lock));
    if (creation.blockMs)
        add("createblock" + std::to_string(*creation.blockMs));
    if (creation.box)
        add("createbox");
    if (creation.crash)
        add("createcrash-" + CrashText(*creation.crash));
    if (scenario.HangsOnDetach())
        add("hangdetach");
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
        DirectiveCase{"Unknown", u"unknown:User.ZELTARClasses", "unknown", "User", "ZELTARClasses"},
        DirectiveCase{"UnknownWithValueSkipped", u"unknown:User.ZELTARClasses=1", "", "User",
                      "ZELTARClasses"},
        DirectiveCase{"Thread", u"thread:User.LoginUser", "thread", "User", "LoginUser"},
        DirectiveCase{"ThreadIgnoresCase", u"THREAD:viewer.show_results", "thread"},
        DirectiveCase{"ThreadOfAnotherMember", u"thread:Viewer.Export", ""},
        DirectiveCase{"ThreadWithValueSkipped", u"thread:Viewer.Show_Results=1", ""},
        DirectiveCase{"ThreadOfClassSkipped", u"thread:Viewer", "", "Viewer", ""},
        DirectiveCase{"ThreadTimer", u"threadtimer:User.SetExePath", "threadtimer", "User",
                      "SetExePath"},
        DirectiveCase{"ThreadTimerBesideThread",
                      u"threadtimer:User.LoginUser;thread:User.LoginUser", "thread threadtimer",
                      "User", "LoginUser"},
        DirectiveCase{"ThreadTimerWithValueSkipped", u"threadtimer:User.SetExePath=5", "", "User",
                      "SetExePath"},
        DirectiveCase{"ThreadTimerOfClassSkipped", u"threadtimer:User", "", "User", ""},
        DirectiveCase{"Overflow", u"overflow:Viewer.SetDLLVer=Out of stack space",
                      "overflow\"Out of stack space\"", "Viewer", "SetDLLVer"},
        DirectiveCase{"OverflowDescriptionUnescaped", u"overflow:Viewer.Show_Results=a\\;b",
                      "overflow\"a;b\""},
        DirectiveCase{"OverflowEmptyDescription", u"overflow:Viewer.Show_Results=", "overflow\"\""},
        DirectiveCase{"OverflowFirstWins",
                      u"overflow:Viewer.Show_Results=first;overflow:Viewer.Show_Results=second",
                      "overflow\"first\""},
        DirectiveCase{"OverflowWithoutDescriptionSkipped", u"overflow:Viewer.Show_Results", ""},
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
        DirectiveCase{"HideOfAnotherMember", u"hide:Viewer.Show_Results", "", "Viewer", "Export"},
        DirectiveCase{"CrashAccessViolation", u"crash:Viewer.Show_Results=av", "crash-av"},
        DirectiveCase{"CrashCppException", u"crash:User.LoginUser=cpp", "crash-cpp", "User",
                      "LoginUser"},
        DirectiveCase{"CrashStackOverflow", u"crash:Viewer.SetDLLVer=stack", "crash-stack",
                      "Viewer", "SetDLLVer"},
        DirectiveCase{"CrashIgnoresCase", u"CRASH:viewer.show_results=AV", "crash-av"},
        DirectiveCase{"CrashFirstWins",
                      u"crash:Viewer.Show_Results=stack;crash:Viewer.Show_Results=av",
                      "crash-stack"},
        DirectiveCase{"CrashUnknownKindSkipped",
                      u"crash:Viewer.Show_Results=segv;crash:Viewer.Show_Results=1;"
                      u"crash:Viewer.Show_Results=",
                      ""},
        DirectiveCase{"CrashWithoutKindSkipped", u"crash:Viewer.Show_Results", ""},
        DirectiveCase{"CrashOfClassSkipped", u"crash:Viewer=av", "", "Viewer", ""},
        DirectiveCase{"CrashOfAnotherMember", u"crash:Viewer.Export=av", ""},
        DirectiveCase{"CrashKeepsAFailureOfTheMember",
                      u"fail:Viewer.Show_Results=x;crash:Viewer.Show_Results=cpp",
                      "crash-cpp fail\"x\""},
        DirectiveCase{"CrashLater", u"crashlater:Viewer.Show_Results=500", "crashlater500"},
        DirectiveCase{"CrashLaterZero", u"crashlater:Viewer.Show_Results=0", "crashlater0"},
        DirectiveCase{"CrashLaterFirstWins",
                      u"crashlater:Viewer.Show_Results=x;crashlater:Viewer.Show_Results=20;"
                      u"crashlater:Viewer.Show_Results=30",
                      "crashlater20"},
        DirectiveCase{"CrashLaterWithoutTimeSkipped", u"crashlater:Viewer.Show_Results", ""},
        DirectiveCase{"CrashLaterKindIsNotATime", u"crashlater:Viewer.Show_Results=av", ""},
        DirectiveCase{"CrashFilter", u"crashfilter:User.LoginUser", "crashfilter", "User",
                      "LoginUser"},
        DirectiveCase{"CrashFilterValueBecomesPartOfMember", u"crashfilter:User.LoginUser=1", "",
                      "User", "LoginUser"},
        DirectiveCase{"Box", u"box:Viewer.Show_Results", "box"},
        DirectiveCase{"BoxOfAnotherObject", u"box:User.Show_Results", ""},
        DirectiveCase{"BoxWithoutMemberSkipped", u"box:Viewer", "", "Viewer", ""},
        DirectiveCase{"LookalikeFaultVerbsSkipped",
                      u"crashes:Viewer.Show_Results=av;boxes:Viewer.Show_Results;"
                      u"crashfilters:Viewer.Show_Results;crash_later:Viewer.Show_Results=5;"
                      u"hangdetached;createcrashes:Viewer=av",
                      ""},
        DirectiveCase{"FaultsOfOneCallInTheirOrder",
                      u"crash:Viewer.Show_Results=av;pump:Viewer.Show_Results=5;"
                      u"box:Viewer.Show_Results;crashlater:Viewer.Show_Results=9;"
                      u"click:Viewer.Show_Results=Cancel;crashfilter:Viewer.Show_Results;"
                      u"observe:Viewer.Show_Results",
                      "observe crashfilter click-Cancel box pump5 crashlater9 crash-av"},
        DirectiveCase{"ThreadAndOverflowInTheirPlaces",
                      u"crash:Viewer.Show_Results=av;overflow:Viewer.Show_Results=x;"
                      u"crashlater:Viewer.Show_Results=9;thread:Viewer.Show_Results;"
                      u"observe:Viewer.Show_Results",
                      "observe thread crashlater9 overflow\"x\" crash-av"},
        DirectiveCase{"CreateCrash", u"createcrash:Viewer=stack", "createcrash-stack", "Viewer",
                      ""},
        DirectiveCase{"CreateCrashCoversEveryMember", u"createcrash:Viewer=cpp", "createcrash-cpp"},
        DirectiveCase{"CreateCrashOfAnotherClass", u"createcrash:Viewer=av", "", "User",
                      "LoginUser"},
        DirectiveCase{"CreateCrashIgnoresCase", u"CreateCrash:VIEWER=Av", "createcrash-av"},
        DirectiveCase{"CreateCrashFirstWins", u"createcrash:User=cpp;createcrash:User=av",
                      "createcrash-cpp", "User", "LoginUser"},
        DirectiveCase{"CreateCrashOfMemberSkipped", u"createcrash:Viewer.Show_Results=av", ""},
        DirectiveCase{"CreateCrashUnknownKindSkipped", u"createcrash:Viewer=boom", ""},
        DirectiveCase{"CreateBox", u"createbox:User", "createbox", "User", "LoginUser"},
        DirectiveCase{"CreateBoxEmptyClassSkipped", u"createbox:", "", "", ""},
        DirectiveCase{"CreateBlock", u"createblock:Viewer=15000", "createblock15000"},
        DirectiveCase{"CreateThread", u"createthread:Viewer", "createthread"},
        DirectiveCase{"CreateThreadOfAnotherClass", u"createthread:Viewer", "", "User",
                      "LoginUser"},
        DirectiveCase{"CreateThreadOfMemberSkipped", u"createthread:Viewer.Show_Results", ""},
        DirectiveCase{"CreateThreadWithValueSkipped", u"createthread:Viewer=1", ""},
        DirectiveCase{"CreateBlockFirstWins", u"createblock:Viewer=1;createblock:Viewer=2",
                      "createblock1"},
        DirectiveCase{"CreateBlockWithoutTimeSkipped", u"createblock:Viewer;createblock:Viewer=",
                      ""},
        DirectiveCase{
            "CreationFaultsInTheirOrder",
            u"createcrash:Viewer=av;createbox:Viewer;createblock:Viewer=7;nocreate:Viewer",
            "nocreate createblock7 createbox createcrash-av"},
        DirectiveCase{"LockLoader", u"lock:Viewer.Show_Results=loader", "lock-loader"},
        DirectiveCase{"LockHeap", u"lock:Viewer.Show_Results=heap", "lock-heap"},
        DirectiveCase{"LockIgnoresCase", u"LOCK:viewer.show_results=HEAP", "lock-heap"},
        DirectiveCase{"LocksKeepTheirOrder",
                      u"lock:Viewer.Show_Results=heap;lock:Viewer.Show_Results=loader",
                      "lock-heap lock-loader"},
        DirectiveCase{"LockOfAnotherMember", u"lock:Viewer.Export=heap", ""},
        DirectiveCase{"LockUnknownKindSkipped",
                      u"lock:Viewer.Show_Results=heaps;lock:Viewer.Show_Results=1;"
                      u"lock:Viewer.Show_Results=",
                      ""},
        DirectiveCase{"LockWithoutKindSkipped", u"lock:Viewer.Show_Results", ""},
        DirectiveCase{"LockOfClassSkipped", u"lock:Viewer=loader", "", "Viewer", ""},
        DirectiveCase{"LockBeforeClicksAndTheCrash",
                      u"crash:Viewer.Show_Results=av;block:Viewer.Show_Results=5;"
                      u"click:Viewer.Show_Results=Cancel;lock:Viewer.Show_Results=heap;"
                      u"crashfilter:Viewer.Show_Results",
                      "crashfilter lock-heap click-Cancel block5 crash-av"},
        DirectiveCase{"CreateLock", u"createlock:User=loader", "createlock-loader", "User",
                      "LoginUser"},
        DirectiveCase{"CreateLockHeap", u"createlock:Viewer=heap", "createlock-heap"},
        DirectiveCase{"CreateLockOfAnotherClass", u"createlock:Viewer=loader", "", "User",
                      "LoginUser"},
        DirectiveCase{"CreateLockOfMemberSkipped", u"createlock:Viewer.Show_Results=loader", ""},
        DirectiveCase{"CreateLockUnknownKindSkipped", u"createlock:Viewer=dll", ""},
        DirectiveCase{"CreateLockBeforeTheCrash",
                      u"createcrash:User=av;createblock:User=9;createlock:User=loader;"
                      u"createthread:User",
                      "createthread createlock-loader createblock9 createcrash-av", "User",
                      "LoginUser"},
        DirectiveCase{"HangDetach", u"hangdetach", "hangdetach"},
        DirectiveCase{"HangDetachConcernsEveryObject", u" HangDetach ;observe:User.LoginUser",
                      "hangdetach", "User", "Export"},
        DirectiveCase{"HangDetachTakesNoTarget", u"hangdetach:Viewer;hangdetach:", ""}),
    [](const testing::TestParamInfo<DirectiveCase>& info) { return info.param.name; });

} // namespace
} // namespace brevanto::standin
