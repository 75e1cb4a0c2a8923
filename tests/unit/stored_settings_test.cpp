#include <gtest/gtest.h>

#include "report/run_error.h"
#include "report/stored_settings.h"
#include "tests/unit/fakes.h"

namespace brevanto::testing {
namespace {

TEST(StoredSettings, AbsentKeyGivesTheDefaultAndStoredTextIsUntouched) {
    MemoryStore store;
    store.Set(L"Settings", L"ViewMode", L"  0 \r\n");
    store.Set(L"Settings", L"Empty", L"");
    EXPECT_EQ(GetSetting(store, L"Settings", L"ViewMode", L"1"), L"  0 \r\n");
    EXPECT_EQ(GetSetting(store, L"Settings", L"Empty", L"1"), L"");
    EXPECT_EQ(GetSetting(store, L"Settings", L"Missing", L"1"), L"1");
    EXPECT_EQ(GetSetting(store, L"Settings", L"Missing"), L"");
    EXPECT_EQ(GetSetting(store, L"Other", L"ViewMode", L"d"), L"d");
}

TEST(StoredSettings, NumericTestComparesExactly) {
    struct Case {
        const wchar_t* stored; // nullptr: key absent
        double constant;
        bool equal;
    };
    const Case cases[] = {
        {nullptr, 1, true}, {L"1", 1, true},   {L"0", 1, false},    {L"2", 1, false},
        {L"1.0", 1, true},  {L" 1 ", 1, true}, {L"1e0", 1, true},   {L"0.999999", 1, false},
        {L"0", 0, true},    {L"-0", 0, true},  {nullptr, 0, false}, {L"1", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? std::string(c.stored, c.stored + wcslen(c.stored)) : "absent");
        MemoryStore store;
        if (c.stored)
            store.Set(L"Settings", L"chkPrintRPT", c.stored);
        EXPECT_EQ(SettingEquals(store, L"Settings", L"chkPrintRPT", L"1", c.constant), c.equal);
        EXPECT_EQ(store.Reads(L"Settings", L"chkPrintRPT"), 1);
    }
}

TEST(StoredSettings, NonNumberNamesTheSettingAndItsValue) {
    MemoryStore store;
    store.Set(L"Settings", L"ViewMode", L"abc");
    try {
        SettingEquals(store, L"Settings", L"ViewMode", L"1", 0);
        FAIL() << "no error";
    } catch (const RunError& error) {
        EXPECT_EQ(error.Description(), L"Settings\\ViewMode is not a number: \"abc\"");
    }
}

TEST(StoredSettings, HugeNonNumberIsShortenedInTheMessage) {
    MemoryStore store;
    std::wstring huge(63, L'x');
    huge += {wchar_t(0xD83D), wchar_t(0xDE00)}; // a surrogate pair straddling the cut
    huge += std::wstring(1 << 20, L'y');
    store.Set(L"Settings", L"ViewMode", huge);
    try {
        SettingEquals(store, L"Settings", L"ViewMode", L"1", 0);
        FAIL() << "no error";
    } catch (const RunError& error) {
        const std::wstring& text = error.Description();
        EXPECT_LT(text.size(), 200u);
        const std::wstring kept = L"\"" + std::wstring(63, L'x') + L"... (";
        EXPECT_NE(text.find(kept), std::wstring::npos);
        EXPECT_NE(text.find(std::to_wstring(huge.size()) + L" characters)\""), std::wstring::npos);
    }
}

} // namespace
} // namespace brevanto::testing
