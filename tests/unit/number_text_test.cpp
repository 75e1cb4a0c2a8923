#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "report/number_text.h"

namespace brevanto {
namespace {

TEST(NumberText, AcceptedForms) {
    const std::pair<std::wstring, double> cases[] = {
        {L"0", 0},      {L"1", 1},       {L"2", 2},   {L"  1  ", 1},  {L"\t1\t", 1}, {L"+1", 1},
        {L"-0", 0},     {L"1.0", 1},     {L"1.", 1},  {L".5", 0.5},   {L"1e0", 1},   {L"10E-1", 1},
        {L"0.1e+1", 1}, {L"-2.5", -2.5}, {L"007", 7}, {L"0.0e99", 0},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        const auto parsed = ParseNumber(text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(*parsed, value);
    }
}

TEST(NumberText, RejectedForms) {
    const std::wstring cases[] = {
        L"",
        L" ",
        L"abc",
        L"0x1",
        L"&H1",
        L"NaN",
        L"inf",
        L"1,0",
        L"1 0",
        L"+",
        L"-",
        L".",
        L"e1",
        L"1e",
        L"1e+",
        L"--1",
        L"+-1",
        L"1..0",
        L"1e999",
        L"\x0661",
        L"\xff11",
        L"1\r\n",
        std::wstring(L"1\0", 2),
        L"1a",
        L"\x00a0"
        L"1",
    };
    for (const auto& text : cases) {
        SCOPED_TRACE(testing::Message() << "case of " << text.size() << " units");
        EXPECT_FALSE(ParseNumber(text).has_value());
    }
}

// Arbitrary text never crashes the conversion, and an accepted text is a finite number that
// survives a round trip through its own decimal form.
TEST(NumberText, ArbitraryTextIsEitherANumberOrRejected) {
    std::mt19937 random(20261208);
    const wchar_t alphabet[] = L"0123456789+-.eE \tx,aN\x0661\xd83d\xde00";
    std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 2);
    std::uniform_int_distribution<int> length(0, 12);
    for (int i = 0; i < 20000; ++i) {
        std::wstring text;
        for (int n = length(random); n > 0; --n)
            text += alphabet[pick(random)];
        const auto parsed = ParseNumber(text);
        if (parsed) {
            EXPECT_TRUE(std::isfinite(*parsed));
            EXPECT_EQ(ParseNumber(std::to_wstring(*parsed)).has_value(), true);
        }
    }
}

} // namespace
} // namespace brevanto
