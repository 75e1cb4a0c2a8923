#include "journal_escape.h"
#include "journal_line.h"

#include <gtest/gtest.h>

#include <ostream>

namespace brevanto::standin {
namespace {

struct EscapeCase {
    const char* name;
    std::u16string text;
    std::string journal;
};

void PrintTo(const EscapeCase& param, std::ostream* out) {
    *out << param.name;
}

class JournalEscape : public testing::TestWithParam<EscapeCase> {};

TEST_P(JournalEscape, SpellsEveryCodeUnitAsPrintableAscii) {
    EXPECT_EQ(QuoteForJournal(GetParam().text), GetParam().journal);
}

// The journal must stay one line per event and be unambiguous to a reader that splits on tabs.
INSTANTIATE_TEST_SUITE_P(
    Cases, JournalEscape,
    testing::Values(EscapeCase{"Empty", u"", "\"\""},
                    EscapeCase{"PlainAsciiUnchanged", u"C:/Reports 1", "\"C:/Reports 1\""},
                    EscapeCase{"Quote", u"say \"hi\"", R"("say \"hi\"")"},
                    EscapeCase{"Backslash", u"C:\\out\\", R"("C:\\out\\")"},
                    EscapeCase{"TabCrLf", u"a\tb\r\nc", R"("a\tb\r\nc")"},
                    EscapeCase{"ControlCharAndDelete", u"\x01x\x1F\x7F", R"("\x01x\x1F\x7F")"},
                    EscapeCase{"EmbeddedNul", std::u16string(u"a\0b", 3), R"("a\x00b")"},
                    EscapeCase{"Latin1AsUnicodeEscape", u"caf\u00e9", R"("caf\u00E9")"},
                    EscapeCase{"SurrogatePairAsTwoUnits", u"\U0001F600", R"("\uD83D\uDE00")"},
                    EscapeCase{"LoneSurrogateKept", std::u16string(1, char16_t(0xDC00)),
                               R"("\uDC00")"}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return info.param.name; });

struct ArgCase {
    const char* name;
    std::string spelled;
    std::string journal;
};

void PrintTo(const ArgCase& param, std::ostream* out) {
    *out << param.name;
}

class JournalArg : public testing::TestWithParam<ArgCase> {};

TEST_P(JournalArg, SpellsValueWithItsType) {
    EXPECT_EQ(GetParam().spelled, GetParam().journal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JournalArg,
    testing::Values(ArgCase{"NullBstrDiffersFromEmpty", BstrArg(std::nullopt), "BSTR:null"},
                    ArgCase{"EmptyBstr", BstrArg(u""), "BSTR:\"\""},
                    ArgCase{"BstrEscaped", BstrArg(u"x\ty"), R"(BSTR:"x\ty")"},
                    ArgCase{"BoolTrueIsRaw", BoolArg(-1), "BOOL:-1"},
                    ArgCase{"BoolFalse", BoolArg(0), "BOOL:0"},
                    ArgCase{"NegativeI2", I2Arg(-32768), "I2:-32768"},
                    ArgCase{"I4", I4Arg(2147483647), "I4:2147483647"},
                    ArgCase{"KnownObject", DispatchArg("User"), "DISPATCH:User"},
                    ArgCase{"Empty", EmptyArg(), "EMPTY"},
                    ArgCase{"OtherTypeByNumber", OtherTypeArg(8204), "VT8204"},
                    ArgCase{"ByRef", ByRefArg(I2Arg(5)), "BYREF|I2:5"},
                    ArgCase{"RaisedText", RaisedDescription(u"a;b\u00e9"), R"(raised:"a;b\u00E9")"},
                    ArgCase{"RaisedEmptyText", RaisedDescription(u""), "raised:\"\""},
                    ArgCase{"RaisedHresult", RaisedHresult(0x80004005u), "raised:0x80004005"},
                    ArgCase{"RaisedHresultPadded", RaisedHresult(0x1u), "raised:0x00000001"},
                    ArgCase{"SeenField", SeenField("dep", "1"), "dep=1"},
                    ArgCase{"SeenFieldEmptyValue", SeenField("fonts", ""), "fonts="},
                    ArgCase{"AwarenessUnaware", std::string(DpiAwarenessName(0)), "unaware"},
                    ArgCase{"AwarenessSystem", std::string(DpiAwarenessName(1)), "system"},
                    ArgCase{"AwarenessPerMonitor", std::string(DpiAwarenessName(2)), "per-monitor"},
                    ArgCase{"AwarenessInvalid", std::string(DpiAwarenessName(-1)), "invalid"},
                    ArgCase{"AwarenessUnknown", std::string(DpiAwarenessName(3)), "invalid"},
                    ArgCase{"Size", SizeText(75, 23), "75x23"}),
    [](const testing::TestParamInfo<ArgCase>& info) { return info.param.name; });

TEST(JournalLine, CallHasArgsInOrderThenRaised) {
    JournalEntry entry;
    entry.enterUs = 1000;
    entry.exitUs = 2500;
    entry.object = "User";
    entry.member = "LoginUser";
    entry.kind = JournalKind::Call;
    entry.args = {BstrArg(u"admin"), BstrArg(std::nullopt)};
    entry.raised = RaisedDescription(u"Wrong password");
    EXPECT_EQ(FormatJournalLine(entry),
              "1000\t2500\tUser\tLoginUser\tcall\tBSTR:\"admin\"\tBSTR:null\t"
              "raised:\"Wrong password\"\n");
}

TEST(JournalLine, SeenLineHasItsFieldsInOrder) {
    JournalEntry entry;
    entry.enterUs = 10;
    entry.exitUs = 12;
    entry.object = "Viewer2";
    entry.member = "Show_Results";
    entry.kind = JournalKind::Seen;
    entry.args = {SeenField("thread_dpi", "unaware"), SeenField("dep", "n/a")};
    EXPECT_EQ(FormatJournalLine(entry),
              "10\t12\tViewer2\tShow_Results\tseen\tthread_dpi=unaware\tdep=n/a\n");
}

TEST(JournalLine, LifetimeLineHasDashForMember) {
    JournalEntry entry;
    entry.enterUs = 7;
    entry.exitUs = 9;
    entry.object = "Classes";
    entry.member = "-";
    entry.kind = JournalKind::Destroy;
    EXPECT_EQ(FormatJournalLine(entry), "7\t9\tClasses\t-\tdestroy\n");
}

} // namespace
} // namespace brevanto::standin
