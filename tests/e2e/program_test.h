#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/utf8.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/test_registry.h"
#include "tests/support/settings.h"

namespace brevanto::e2e {

using support::ClearSettings;
using support::StoreRawSetting;
using support::StoreSetting;

// Each test starts from an empty settings store and leaves none behind.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }
};

// Names each case of a parameterised test after its row's name.
inline constexpr auto kRowName = [](const auto& info) { return std::string(info.param.name); };

// The calls of a run with an empty settings store, as the stand-ins record them.
std::vector<std::string> EmptyStoreCalls(const std::wstring& programDirectory);

// The calls one press of Test makes.
std::vector<std::string> TestButtonCalls();

// True when every object the stand-ins made was also released.
bool EveryObjectReleased(const std::vector<JournalCall>& journal);

struct MessageBoxSeen {
    HWND box = nullptr;
    std::int64_t seenUs = 0; // when the driver found it shown
    std::wstring title;
    std::wstring text;
};

// Waits for a message box of the program and reads its title and text.
MessageBoxSeen WaitForMessageBox(const ProgramRun& run, DWORD timeoutMs);

// How a run that was left to end by itself (or by a click a stand-in posts) ended.
struct RunEnd {
    int status = -1;
    double lifeMs = 0;    // from its start
    std::string lastCall; // the last call the components saw; empty: none
    bool everyObjectReleased = false;
};
RunEnd RunToItsEnd(const std::string& scenario, DWORD timeoutMs);

} // namespace brevanto::e2e
