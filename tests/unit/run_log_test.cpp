#include <gtest/gtest.h>

#include "report/run_log.h"

#include "tests/unit/fakes.h"
#include <random>

namespace brevanto::testing {
namespace {

TEST(RunLog, LinesAreFormedExactly) {
    struct Case {
        std::int16_t part;
        std::wstring message;
        std::wstring line;
    };
    const Case cases[] = {
        {1, L"clsCurrentUser", L" 1 clsCurrentUser\r\n"},
        {3, L"LoginUser", L" 3 LoginUser\r\n"},
        {8, L"Show_Results ", L" 8 Show_Results \r\n"},
        {6, L"Requestnum ", L" 6 Requestnum \r\n"},
        {0, L"", L" 0 \r\n"},
        {-5, L"x", L" -5 x\r\n"},
        {32767, L"x", L" 32767 x\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.part);
        EXPECT_EQ(LogLine(c.part, c.message), c.line);
    }
}

TEST(RunLog, AppendsToWhateverTheBoxHoldsThenRunsEvents) {
    FakeWindow window;
    window.log = L"typed by hand";
    window.state.CurrentPart = 7;
    std::wstring logSeenByEvents;
    window.onEvents = [&] { logSeenByEvents = window.log; };

    WriteLog(window, L"ViewMode");
    WriteLog(window, L"ViewMode1a");

    EXPECT_EQ(window.log, L"typed by hand 7 ViewMode\r\n 7 ViewMode1a\r\n");
    EXPECT_EQ(window.eventRuns, 2);
    EXPECT_EQ(logSeenByEvents, window.log);
}

TEST(RunLog, PartIsReadWhenTheLineIsWritten) {
    FakeWindow window;
    window.state.CurrentPart = 4;
    const std::wstring message = L"composed in part 4";
    window.state.CurrentPart = 5;
    WriteLog(window, message);
    EXPECT_EQ(window.log, L" 5 composed in part 4\r\n");
}

} // namespace
} // namespace brevanto::testing

namespace brevanto::testing {
namespace {

// Whatever the messages hold, each line lands after the earlier text, whole and in order.
TEST(RunLog, ArbitraryMessagesAreAppendedWhole) {
    std::mt19937 random(8122026);
    std::uniform_int_distribution<int> unit(0, 0xFFFF);
    std::uniform_int_distribution<int> length(0, 40);
    FakeWindow window;
    std::wstring expected;
    for (int i = 0; i < 500; ++i) {
        std::wstring message;
        for (int n = length(random); n > 0; --n)
            message += static_cast<wchar_t>(unit(random));
        window.state.CurrentPart = static_cast<std::int16_t>(i % 9);
        WriteLog(window, message);
        expected += L" " + std::to_wstring(i % 9) + L" " + message + L"\r\n";
    }
    EXPECT_EQ(window.log, expected);
}

} // namespace
} // namespace brevanto::testing
