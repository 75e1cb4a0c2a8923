#include <gtest/gtest.h>

#include "tests/runner/core/junit.h"

namespace brevanto::runner {
namespace {

TEST(RunnerJunit, TextIsEscapedAndWhatXmlCannotHoldIsReplaced) {
    struct Case {
        const char* name;
        std::string text;
        std::string xml;
    };
    const Case cases[] = {
        {"plain", "abc", "abc"},
        {"markup", "a<b>&\"c\"", "a&lt;b&gt;&amp;&quot;c&quot;"},
        {"line breaks and tabs", "a\nb\tc\rd", "a\nb\tc&#13;d"},
        {"control characters", std::string("a\x01\x1b[31mb", 8), "a\xEF\xBF\xBD\xEF\xBF\xBD[31mb"},
        {"NUL", std::string("a\0b", 3),
         "a\xEF\xBF\xBD"
         "b"},
        {"UTF-8 kept", "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80",
         "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"a stray byte", "a\xFFz", "a\xEF\xBF\xBDz"},
        {"a cut sequence", "a\xE2\x82", "a\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"an overlong form", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"a surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"U+FFFE", "\xEF\xBF\xBE", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(XmlText(c.text), c.xml);
    }
}

TEST(RunnerJunit, NamesLeadTheClassWithTheArchitecture) {
    struct Case {
        const char* test;
        const char* classname;
        const char* name;
    };
    const Case cases[] = {
        {"Suite.Name", "x64.Suite", "Name"},
        {"Prefix/Suite.Name/Param", "x64.Prefix/Suite", "Name/Param"},
        {"NoDot", "x64.NoDot", "NoDot"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.test);
        const auto [classname, name] = JunitNames("x64", c.test);
        EXPECT_EQ(classname, c.classname);
        EXPECT_EQ(name, c.name);
    }
}

TEST(RunnerJunit, WritesEachCaseWithItsOutcomeAndTheSuitesProperties) {
    TestRecord passed = NewTestRecord("S.Passes");
    passed.done = true;
    passed.outcome = Outcome::Passed;
    passed.ms = 1234;
    passed.allowances = {"Wine's log"};
    TestRecord failed = NewTestRecord("S.Fails");
    failed.done = true;
    failed.message = "the driver ended with status 3221225477 (0xC0000005)\nsecond";
    failed.output = "x.cpp:1: Failure <here>";
    TestRecord skipped = NewTestRecord("P/S.Skips/1");
    skipped.done = true;
    skipped.outcome = Outcome::Skipped;
    skipped.ms = 7;
    skipped.message = "no-witness: \"slow\"";
    skipped.windowsOnly = {"WerFault"};
    const JunitSuite suite{
        "i686 drv.exe", "i686", {{"dpi", "96"}, {"wine", "yes"}}, {passed, failed, skipped}};
    EXPECT_EQ(JunitXml({suite}),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<testsuites>\n"
              "  <testsuite name=\"i686 drv.exe\" tests=\"3\" failures=\"1\" errors=\"0\" "
              "skipped=\"1\" time=\"1.241\">\n"
              "    <properties>\n"
              "      <property name=\"dpi\" value=\"96\"/>\n"
              "      <property name=\"wine\" value=\"yes\"/>\n"
              "    </properties>\n"
              "    <testcase classname=\"i686.S\" name=\"Passes\" time=\"1.234\">\n"
              "      <system-out>Wine allowance: Wine's log\n</system-out>\n"
              "    </testcase>\n"
              "    <testcase classname=\"i686.S\" name=\"Fails\" time=\"0.000\">\n"
              "      <failure message=\"the driver ended with status 3221225477 "
              "(0xC0000005)\">the driver ended with status 3221225477 (0xC0000005)\nsecond\n"
              "x.cpp:1: Failure &lt;here&gt;</failure>\n"
              "    </testcase>\n"
              "    <testcase classname=\"i686.P/S\" name=\"Skips/1\" time=\"0.007\">\n"
              "      <skipped message=\"no-witness: &quot;slow&quot;\"/>\n"
              "      <system-out>Windows-only check not made: WerFault\n</system-out>\n"
              "    </testcase>\n"
              "  </testsuite>\n"
              "</testsuites>\n");
}

} // namespace
} // namespace brevanto::runner
