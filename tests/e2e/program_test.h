#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/program_run.h"
#include "tests/e2e/test_registry.h"

namespace brevanto::e2e {

// Each test starts from an empty settings store and leaves none behind.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }
};

inline double Ms(std::int64_t us) {
    return static_cast<double>(us) / 1000.0;
}

inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// The calls of a run with an empty settings store, as the stand-ins record them.
std::vector<std::string> EmptyStoreCalls(const std::wstring& programDirectory);

// The calls one press of Test makes.
std::vector<std::string> TestButtonCalls();

// True when every object the stand-ins made was also released.
bool EveryObjectReleased(const std::vector<JournalCall>& journal);

} // namespace brevanto::e2e
