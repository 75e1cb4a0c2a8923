#include <gtest/gtest.h>

#include "report/display_text.h"
#include "report/report_job.h"
#include "report/run_log.h"
#include "tests/unit/fakes.h"

namespace brevanto::testing {
namespace {

TEST(DisplayText, LongTextIsCutWithoutSplittingASurrogatePairAndNulsShowAsBlanks) {
    const std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)};
    struct Case {
        const char* name;
        std::wstring text;
        std::wstring shown;
    };
    const Case cases[] = {
        {"short", L"abc", L"abc"},
        {"empty", L"", L""},
        {"at the limit", std::wstring(8, L'x'), std::wstring(8, L'x')},
        {"one over", std::wstring(9, L'x'), std::wstring(8, L'x') + L"... (9 characters)"},
        {"pair across the cut", std::wstring(7, L'x') + pair + L"y",
         std::wstring(7, L'x') + L"... (10 characters)"},
        {"pair before the cut", std::wstring(6, L'x') + pair + L"yy",
         std::wstring(6, L'x') + pair + L"... (10 characters)"},
        {"NULs inside", std::wstring(L"a\0b\0\0c", 6), L"a b  c"},
        {"NUL only", std::wstring(1, L'\0'), L" "},
        {"NUL in a long text", std::wstring(L"ab\0cdefghij", 11), L"ab cdefg... (11 characters)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ForDisplay(c.text, 8), c.shown);
    }
}

TEST(DisplayText, HugeValuesAreShortenedInTheWindowButNotForTheComponents) {
    MemoryStore store;
    CallJournal journal;
    FakeFactory factory(journal);
    FakeWindow window;
    const std::wstring request(1 << 20, L'7');
    store.Set(L"ExeParameters", L"Requestnum", request);
    journal.failures[L"Viewer.Show_Results"] = std::wstring(5000, L'e');
    GenerateReport(window, store, factory, L"C:\\Lab");

    EXPECT_EQ(journal.calls[8], L"Viewer.put Requestnum \"" + request + L"\"");
    const std::wstring caption = L"Brevanto.exe Generate " + std::wstring(kDisplayLimit, L'e') +
                                 L"... (5000 characters) Part:8";
    EXPECT_EQ(window.caption, caption);
    EXPECT_EQ(LogLine(6, L"Requestnum " + request),
              L" 6 Requestnum " + std::wstring(kDisplayLimit - 11, L'7') + L"... (" +
                  std::to_wstring(request.size() + 11) + L" characters)\r\n");
}

} // namespace
} // namespace brevanto::testing
