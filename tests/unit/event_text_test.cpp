#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/core/event_text.h"

namespace brevanto::testing {
namespace {

std::string Narrow(std::wstring_view text) {
    std::string narrow;
    for (const wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

TEST(EventString, EscapesWhatCouldMakeALineOrHideText) {
    struct Case {
        const char* name;
        std::wstring value;
        std::wstring shown;
    };
    const Case cases[] = {
        {"plain text stays", L"Login refused", L"Login refused"},
        {"a path keeps its backslashes", L"C:\\Lab\\x.dll", L"C:\\Lab\\x.dll"},
        {"CR LF", L"a\r\nForged: yes", L"a\\r\\nForged: yes"},
        {"a lone LF", L"a\nb", L"a\\nb"},
        {"tab", L"a\tb", L"a\\tb"},
        {"NUL, which would end the string", std::wstring(L"a\0b", 3), L"a\\u0000b"},
        {"escape", L"lab\x1B[31m", L"lab\\u001B[31m"},
        {"DEL", L"a\x7F", L"a\\u007F"},
        {"C1 next line", L"a\x85z", L"a\\u0085z"},
        {"line separator", L"a\x2028z", L"a\\u2028z"},
        {"paragraph separator", L"a\x2029z", L"a\\u2029z"},
        {"right-to-left override", L"exe.\x202Etxt", L"exe.\\u202Etxt"},
        {"first isolate", L"\x2066x\x2069", L"\\u2066x\\u2069"},
        {"a surrogate pair stays", L"\xD83D\xDE00", L"\xD83D\xDE00"},
        {"a lone high surrogate",
         L"a\xD83D"
         L"b",
         L"a\\uD83Db"},
        {"a lone low surrogate", L"a\xDE00", L"a\\uDE00"},
        {"non-ASCII letters stay", L"M\xFCller", L"M\xFCller"},
    };
    auto string = std::make_unique<EventString>();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        string->Clear();
        string->Value(c.value);
        EXPECT_EQ(Narrow(string->View()), Narrow(c.shown));
        EXPECT_EQ(string->View(), c.shown);
        EXPECT_FALSE(string->WasCut());
    }
}

TEST(EventString, IsCutBeforeItsLimitWithAMark) {
    struct Case {
        const char* name;
        std::wstring label;
        std::wstring value;
        std::size_t length; // of the whole string
        std::wstring ending;
        bool cut;
    };
    const Case cases[] = {
        {"exactly what fits uncut", L"", std::wstring(2045, L'x'), 2045, L"xxx", false},
        {"one more is cut", L"", std::wstring(2046, L'x'), 2048, L"x...", true},
        {"a value far over the limit", L"Caption: ", std::wstring(40000, L'y'), 2048, L"y...",
         true},
        // An escape is never cut in half: what does not fit whole is left out.
        {"an escape that no longer fits", L"", std::wstring(2044, L'x') + L"\n", 2047, L"x...",
         true},
        {"an escape that still fits", L"", std::wstring(2039, L'x') + L"\x01", 2045, L"\\u0001",
         false},
        {"a surrogate pair that no longer fits", L"", std::wstring(2044, L'x') + L"\xD83D\xDE00",
         2047, L"x...", true},
    };
    auto string = std::make_unique<EventString>();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        string->Clear();
        string->Plain(c.label).Value(c.value);
        EXPECT_EQ(string->View().size(), c.length);
        EXPECT_LE(string->View().size(), kEventStringLimit);
        EXPECT_EQ(Narrow(string->View().substr(string->View().size() - c.ending.size())),
                  Narrow(c.ending));
        EXPECT_EQ(string->WasCut(), c.cut);
        EXPECT_EQ(string->CString()[string->View().size()], L'\0');
    }
}

TEST(EventString, AddsNothingAfterItWasCut) {
    auto string = std::make_unique<EventString>();
    string->Value(std::wstring(3000, L'x')).Plain(L" tail").Decimal(42);
    EXPECT_EQ(Narrow(string->View().substr(string->View().size() - 4)), "x...");
}

TEST(EventString, WritesNumbers) {
    struct Case {
        const char* name;
        std::uint64_t value;
        int digits; // 0: decimal
        std::wstring text;
    };
    const Case cases[] = {
        {"zero", 0, 0, L"0"},
        {"decimal", 5072, 0, L"5072"},
        {"largest", UINT64_MAX, 0, L"18446744073709551615"},
        {"code", 0xC0000005, 8, L"0xC0000005"},
        {"padded", 0x1A2B, 8, L"0x00001A2B"},
        {"wider than asked", 0x7FF6A1234567ull, 8, L"0x7FF6A1234567"},
        {"hex zero", 0, 8, L"0x00000000"},
    };
    auto string = std::make_unique<EventString>();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        string->Clear();
        if (c.digits)
            string->Hex(c.value, c.digits);
        else
            string->Decimal(c.value);
        EXPECT_EQ(Narrow(string->View()), Narrow(c.text));
    }
}

TEST(MaskSecret, ReplacesEveryOccurrence) {
    struct Case {
        const char* name;
        std::wstring text;
        std::wstring secret;
        std::wstring masked;
    };
    const Case cases[] = {
        {"none", L"Login refused", L"Pa55", L"Login refused"},
        {"one", L"Login refused for Pa55", L"Pa55", L"Login refused for ********"},
        {"each of several", L"Pa55/Pa55 x Pa55", L"Pa55", L"********/******** x ********"},
        {"the whole text", L"Pa55", L"Pa55", L"********"},
        {"no secret stored", L"Login refused", L"", L"Login refused"},
        {"case matters", L"pa55 PA55", L"Pa55", L"pa55 PA55"},
        // From the left: what is left after an occurrence is no occurrence of its own.
        {"overlapping", L"aaa", L"aa", L"********a"},
        {"with control characters", L"x\r\ny", L"\r\n", L"x********y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(MaskSecret(c.text, c.secret)), Narrow(c.masked));
    }
}

TEST(LastCharacters, KeepsTheLastOnes) {
    struct Case {
        const char* name;
        std::wstring text;
        std::size_t count;
        std::wstring last;
    };
    const Case cases[] = {
        {"a request number", L"2026-120834", 4, L"0834"},
        {"exactly four", L"0834", 4, L"0834"},
        {"shorter", L"34", 4, L"34"},
        {"empty", L"", 4, L""},
        {"a pair counts as one",
         L"12\xD83D\xDE00"
         L"345",
         4,
         L"\xD83D\xDE00"
         L"345"},
        {"a pair at the cut is whole",
         L"1\xD83D\xDE00"
         L"234",
         4,
         L"\xD83D\xDE00"
         L"234"},
        {"line breaks are characters", L"2026\r\n34", 4, L"\r\n34"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(LastCharacters(c.text, c.count)), Narrow(c.last));
        EXPECT_EQ(LastCharacters(c.text, c.count), c.last);
    }
}

} // namespace
} // namespace brevanto::testing
