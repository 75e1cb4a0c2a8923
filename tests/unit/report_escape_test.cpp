#include <gtest/gtest.h>

#include "check/core/judgement.h"
#include "check/core/report_output.h"
#include "check/core/text_escape.h"
#include "tests/unit/check_facts.h"

namespace brevanto::testing {
namespace {

TEST(ReportEscape, TheTextReportShowsNoCharacterThatBreaksOrReordersALine) {
    struct Case {
        const char* name;
        std::wstring in;
        std::wstring shown;
    };
    const Case cases[] = {
        {"plain text", L"labtech 2026-1 (x86)", L"labtech 2026-1 (x86)"},
        // Every backslash shown starts an escape, so a stored "\u202E" cannot pass for one.
        {"a path's backslashes", L"C:\\Lab\\PDF", L"C:\\\\Lab\\\\PDF"},
        {"what reads like an escape", L"\\u202E\\r\\n", L"\\\\u202E\\\\r\\\\n"},
        {"letters of any script", L"M\u00fcller \u7530\u4e2d \u05d0",
         L"M\u00fcller \u7530\u4e2d \u05d0"},
        {"a pair of surrogates", L"\xD83D\xDE00", L"\xD83D\xDE00"},
        {"CR LF and tab", L"a\r\nb\tc", L"a\\r\\nb\\tc"},
        {"escape sequence", L"lab\x1B[31mtech", L"lab\\u001B[31mtech"},
        {"NUL and bell", std::wstring(L"a\0b\x07", 4), L"a\\u0000b\\u0007"},
        {"DEL", L"a\x7F", L"a\\u007F"},
        {"C1 controls", L"\x80\x85\x9B\x9F", L"\\u0080\\u0085\\u009B\\u009F"},
        {"first printable after C1", L"\xA0\xE9", L"\xA0\xE9"},
        {"line and paragraph separators", L"a\u2028b\u2029", L"a\\u2028b\\u2029"},
        {"right-to-left override", L"report\u202Efdp.exe", L"report\\u202Efdp.exe"},
        {"every embedding and override", L"\u202A\u202B\u202C\u202D\u202E",
         L"\\u202A\\u202B\\u202C\\u202D\\u202E"},
        {"every isolate", L"\u2066\u2067\u2068\u2069", L"\\u2066\\u2067\\u2068\\u2069"},
        {"neighbours of the bidi controls", L"\u2029\u202F\u2065\u206A",
         L"\\u2029\u202F\u2065\u206A"},
        {"unpaired surrogates", L"\xD800x\xDC00", L"\\uD800x\\uDC00"},
        {"direction marks", L"a\u200Eb\u200Fc\u061Cd", L"a\\u200Eb\\u200Fc\\u061Cd"},
        {"zero-width characters", L"\u200B\u200C\u200D\u2060\uFEFF",
         L"\\u200B\\u200C\\u200D\\u2060\\uFEFF"},
        {"soft hyphen", L"lab\u00ADtech", L"lab\\u00ADtech"},
        {"neighbours of the invisible characters", L"\u00AC\u00AE\u200A\u2010\u205F\u2061\uFEFE",
         L"\u00AC\u00AE\u200A\u2010\u205F\\u2061\uFEFE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(check::DisplaySafe(c.in)), Narrow(c.shown));
    }
}

TEST(ReportEscape, JsonStringsArePlainAscii) {
    struct Case {
        const char* name;
        std::wstring in;
        std::string json;
    };
    const Case cases[] = {
        {"plain", L"labtech", R"("labtech")"},
        {"quote and backslash", L"C:\\\"Lab\"", R"("C:\\\"Lab\"")"},
        {"CR LF tab", L"\r\n\t", R"("\r\n\t")"},
        {"C0", L"\x01\x1B", R"("\u0001\u001b")"},
        {"DEL and C1", L"\x7F\x85", R"("\u007f\u0085")"},
        {"Latin", L"M\u00fcller", R"("M\u00fcller")"},
        {"CJK", L"\u7530\u4e2d", R"("\u7530\u4e2d")"},
        {"bidi and separators", L"\u202E\u2028", R"("\u202e\u2028")"},
        {"above U+FFFF as a surrogate pair", L"\xD83D\xDE00", R"("\ud83d\ude00")"},
        {"unpaired surrogates", L"\xDE00x\xD83D", R"("\ufffdx\ufffd")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(check::JsonString(c.in), c.json);
    }
}

// Whatever a stored value, a path or a component's message holds, each report line stays one line
// and the JSON stays ASCII.
TEST(ReportEscape, EveryTextTheReportsCarryIsEscaped) {
    const std::wstring hostile = L"lab\x1B[31mtech\r\nready\u202E\u2066\x85\u200E\u200B\xAD";
    check::WorkstationFacts facts = ReadyWorkstation();
    facts.host.programFolder = hostile;
    facts.account.name = L"DOMAIN\\" + hostile;
    facts.settings[0].value = hostile;
    facts.classes[0].serverPath = hostile;
    facts.classes[0].created = false;
    facts.classes[0].createError = hostile;
    facts.exportFolder.path = hostile;
    facts.exportFolder.exists = false;
    const auto judgement = check::Judge(facts);
    ASSERT_FALSE(judgement.problems.empty());

    const std::wstring text = check::TextReport(facts, judgement);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const bool lineEnd = c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n';
        if (lineEnd || (c == L'\n' && i > 0 && text[i - 1] == L'\r'))
            continue;
        EXPECT_FALSE(c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x2028 && c <= 0x202E) ||
                     (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200B || c == 0xAD)
            << "character " << static_cast<unsigned>(c) << " at " << i;
    }
    const std::wstring shown =
        L"lab\\u001B[31mtech\\r\\nready\\u202E\\u2066\\u0085\\u200E\\u200B\\u00AD";
    for (const wchar_t* row : {L"Program folder", L"Account", L"LogInData\\\\Username", L"Server",
                               L"Created", L"Path", L"1. "}) {
        const auto at = text.find(row);
        ASSERT_NE(at, std::wstring::npos) << Narrow(row);
        EXPECT_NE(text.substr(at, text.find(L"\r\n", at) - at).find(shown), std::wstring::npos)
            << Narrow(row);
    }

    const std::string json = check::JsonReport(facts, judgement);
    for (const char c : json)
        EXPECT_TRUE((c >= 0x20 && c < 0x7F) || c == '\n') << static_cast<int>(c);
    EXPECT_NE(json.find(R"("name":"DOMAIN\\lab\u001b[31mtech\r\nready\u202e\u2066\u0085)"
                        R"(\u200e\u200b\u00ad")"),
              std::string::npos)
        << json;
}

} // namespace
} // namespace brevanto::testing
