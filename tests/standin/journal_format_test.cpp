#include "crash_kind.h"
#include "journal_escape.h"
#include "journal_line.h"

#include <gtest/gtest.h>

#include <ostream>
#include <utility>

namespace brevanto::standin {
namespace {

// What a journal function made of one value, and what the journal must read.
struct Spelling {
    const char* name;
    std::string made;
    std::string journal;
};

void PrintTo(const Spelling& param, std::ostream* out) {
    *out << param.name;
}

std::string CaseName(const testing::TestParamInfo<Spelling>& info) {
    return info.param.name;
}

Spelling Quoted(const char* name, std::u16string_view text, std::string journal) {
    return {name, QuoteForJournal(text), std::move(journal)};
}

Spelling Line(const char* name, const JournalEntry& entry, std::string journal) {
    return {name, FormatJournalLine(entry), std::move(journal)};
}

class JournalEscape : public testing::TestWithParam<Spelling> {};

TEST_P(JournalEscape, SpellsEveryCodeUnitAsPrintableAscii) {
    EXPECT_EQ(GetParam().made, GetParam().journal);
}

// The journal must stay one line per event and be unambiguous to a reader that splits on tabs.
INSTANTIATE_TEST_SUITE_P(
    Cases, JournalEscape,
    testing::Values(Quoted("Empty", u"", "\"\""),
                    Quoted("PlainAsciiUnchanged", u"C:/Reports 1", "\"C:/Reports 1\""),
                    Quoted("Quote", u"say \"hi\"", R"("say \"hi\"")"),
                    Quoted("Backslash", u"C:\\out\\", R"("C:\\out\\")"),
                    Quoted("TabCrLf", u"a\tb\r\nc", R"("a\tb\r\nc")"),
                    Quoted("ControlCharAndDelete", u"\x01x\x1F\x7F", R"("\x01x\x1F\x7F")"),
                    Quoted("EmbeddedNul", std::u16string_view(u"a\0b", 3), R"("a\x00b")"),
                    Quoted("Latin1AsUnicodeEscape", u"caf\u00e9", R"("caf\u00E9")"),
                    Quoted("SurrogatePairAsTwoUnits", u"\U0001F600", R"("\uD83D\uDE00")"),
                    Quoted("LoneSurrogateKept", std::u16string(1, char16_t(0xDC00)),
                           R"("\uDC00")")),
    CaseName);

class JournalArg : public testing::TestWithParam<Spelling> {};

TEST_P(JournalArg, SpellsValueWithItsType) {
    EXPECT_EQ(GetParam().made, GetParam().journal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JournalArg,
    testing::Values(
        Spelling{"NullBstrDiffersFromEmpty", BstrArg(std::nullopt), "BSTR:null"},
        Spelling{"EmptyBstr", BstrArg(u""), "BSTR:\"\""},
        Spelling{"BstrEscaped", BstrArg(u"x\ty"), R"(BSTR:"x\ty")"},
        Spelling{"BoolTrueIsRaw", BoolArg(-1), "BOOL:-1"},
        Spelling{"BoolFalse", BoolArg(0), "BOOL:0"},
        Spelling{"NegativeI2", I2Arg(-32768), "I2:-32768"},
        Spelling{"I4", I4Arg(2147483647), "I4:2147483647"},
        Spelling{"KnownObject", DispatchArg("User"), "DISPATCH:User"},
        Spelling{"Empty", EmptyArg(), "EMPTY"},
        Spelling{"OtherTypeByNumber", OtherTypeArg(8204), "VT8204"},
        Spelling{"ByRef", ByRefArg(I2Arg(5)), "BYREF|I2:5"},
        Spelling{"RaisedText", RaisedDescription(u"a;b\u00e9"), R"(raised:"a;b\u00E9")"},
        Spelling{"RaisedEmptyText", RaisedDescription(u""), "raised:\"\""},
        Spelling{"RaisedHresult", RaisedHresult(0x80004005u), "raised:0x80004005"},
        Spelling{"RaisedHresultPadded", RaisedHresult(0x1u), "raised:0x00000001"},
        Spelling{"SeenField", SeenField("dep", "1"), "dep=1"},
        Spelling{"SeenFieldEmptyValue", SeenField("fonts", ""), "fonts="},
        Spelling{"AwarenessUnaware", std::string(DpiAwarenessName(0)), "unaware"},
        Spelling{"AwarenessSystem", std::string(DpiAwarenessName(1)), "system"},
        Spelling{"AwarenessPerMonitor", std::string(DpiAwarenessName(2)), "per-monitor"},
        Spelling{"AwarenessInvalid", std::string(DpiAwarenessName(-1)), "invalid"},
        Spelling{"AwarenessUnknown", std::string(DpiAwarenessName(3)), "invalid"},
        Spelling{"Size", SizeText(75, 23), "75x23"},
        Spelling{"ExceptionCode", HexCode(0xC00000FDu), "0xC00000FD"},
        Spelling{"SmallCodePadded", HexCode(0x5u), "0x00000005"},
        Spelling{"CrashAccessViolation", std::string(CrashKindName(CrashKind::AccessViolation)),
                 "av"},
        Spelling{"CrashCppException", std::string(CrashKindName(CrashKind::CppException)), "cpp"},
        Spelling{"CrashStackOverflow", std::string(CrashKindName(CrashKind::StackOverflow)),
                 "stack"}),
    CaseName);

class JournalLine : public testing::TestWithParam<Spelling> {};

TEST_P(JournalLine, HasItsFieldsInOrder) {
    EXPECT_EQ(GetParam().made, GetParam().journal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JournalLine,
    testing::Values(Line("CallHasArgsInOrderThenRaised",
                         {.enterUs = 1000,
                          .exitUs = 2500,
                          .object = "User",
                          .member = "LoginUser",
                          .kind = JournalKind::Call,
                          .args = {BstrArg(u"admin"), BstrArg(std::nullopt)},
                          .raised = RaisedDescription(u"Wrong password")},
                         "1000\t2500\tUser\tLoginUser\tcall\tBSTR:\"admin\"\tBSTR:null\t"
                         "raised:\"Wrong password\"\n"),
                    Line("SeenLineHasItsFieldsInOrder",
                         {.enterUs = 10,
                          .exitUs = 12,
                          .object = "Viewer2",
                          .member = "Show_Results",
                          .kind = JournalKind::Seen,
                          .args = {SeenField("thread_dpi", "unaware"), SeenField("dep", "n/a")}},
                         "10\t12\tViewer2\tShow_Results\tseen\tthread_dpi=unaware\tdep=n/a\n"),
                    Line("LifetimeLineHasDashForMember",
                         {.enterUs = 7,
                          .exitUs = 9,
                          .object = "Classes",
                          .member = "-",
                          .kind = JournalKind::Destroy},
                         "7\t9\tClasses\t-\tdestroy\n"),
                    Line("CrashLineSaysHowAndWhere",
                         {.enterUs = 5,
                          .exitUs = 5,
                          .object = "Viewer",
                          .member = "Show_Results",
                          .kind = JournalKind::Crash,
                          .args = {SeenField("how", "av"), SeenField("where", "timer")}},
                         "5\t5\tViewer\tShow_Results\tcrash\thow=av\twhere=timer\n"),
                    Line("CrashLaterKind",
                         {.object = "User", .member = "-", .kind = JournalKind::CrashLater},
                         "0\t0\tUser\t-\tcrashlater\n"),
                    Line("FilterKind",
                         {.object = "User", .member = "-", .kind = JournalKind::Filter},
                         "0\t0\tUser\t-\tfilter\n"),
                    Line("BoxKind", {.object = "User", .member = "-", .kind = JournalKind::Box},
                         "0\t0\tUser\t-\tbox\n"),
                    Line("BlockKind", {.object = "User", .member = "-", .kind = JournalKind::Block},
                         "0\t0\tUser\t-\tblock\n"),
                    Line("DetachLineOfTheModule",
                         {.enterUs = 3,
                          .exitUs = 3,
                          .object = "Standin",
                          .member = "-",
                          .kind = JournalKind::Detach,
                          .args = {SeenField("unload", "process"), SeenField("then", "hang")}},
                         "3\t3\tStandin\t-\tdetach\tunload=process\tthen=hang\n"),
                    Line("LockLineSaysWhichAndWhere",
                         {.enterUs = 2,
                          .exitUs = 2,
                          .object = "User",
                          .member = "-",
                          .kind = JournalKind::Lock,
                          .args = {SeenField("what", "loader"), SeenField("where", "create")}},
                         "2\t2\tUser\t-\tlock\twhat=loader\twhere=create\n")),
    CaseName);

// What a thread a call started found, and the course of an overflow the call handled itself.
INSTANTIATE_TEST_SUITE_P(
    StartedThreadAndHandledOverflow, JournalLine,
    testing::Values(Line("ThreadLineHasItsFindings",
                         {.enterUs = 4,
                          .exitUs = 6,
                          .object = "User",
                          .member = "LoginUser",
                          .kind = JournalKind::Thread,
                          .args = {SeenField("thread_dpi", "unaware"),
                                   SeenField("window_dpi", "unaware")}},
                         "4\t6\tUser\tLoginUser\tthread\tthread_dpi=unaware\twindow_dpi=unaware\n"),
                    Line("TimerLineHasItsFindings",
                         {.enterUs = 5,
                          .exitUs = 7,
                          .object = "User",
                          .member = "SetExePath",
                          .kind = JournalKind::Timer,
                          .args = {SeenField("thread_dpi", "unaware")}},
                         "5\t7\tUser\tSetExePath\ttimer\tthread_dpi=unaware\n"),
                    Line("OverflowLineSaysWhatHappened",
                         {.enterUs = 8,
                          .exitUs = 8,
                          .object = "Viewer",
                          .member = "SetDLLVer",
                          .kind = JournalKind::Overflow,
                          .args = {SeenField("event", "handled"), SeenField("code", "0xC00000FD")}},
                         "8\t8\tViewer\tSetDLLVer\toverflow\tevent=handled\tcode=0xC00000FD\n")),
    CaseName);

} // namespace
} // namespace brevanto::standin
