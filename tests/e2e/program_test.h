#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/base/utf8.h"
#include "tests/conformance/conformance.h"
#include "tests/e2e/test_registry.h"
#include "tests/support/program_run.h"
#include "tests/support/settings.h"

namespace brevanto::e2e {

using conformance::RunningUnderWine;
using conformance::WindowsOnlyCheck;
using conformance::WineOnly;
using support::Bstr;
using support::CallTexts;
using support::ClearSettings;
using support::EmptyStoreLog;
using support::JournalCall;
using support::kLayoutDpi;
using support::LogLines;
using support::Ms;
using support::NowUs;
using support::ProgramRun;
using support::SeenLines;
using support::SeenValue;
using support::StoreRawSetting;
using support::StoreSetting;
using support::WindowDpi;
using support::WineTraceReadable;

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

// The first call of that text ("Viewer.call Show_Results") in a journal; null when there is none.
const JournalCall* FindCall(const std::vector<JournalCall>& journal, const std::string& text);

// What a test measures the program's end from when its exit timer was armed for 5000 ms, which
// decides how early the end may seem to come.
enum class ExitArmedAfter {
    // The stamp a stand-in took as the call returned after which the job arms the timer.
    CallReturned,
    // The moment the driver saw what the program shows just before it arms the timer: the last
    // log line, or the failure caption.
    DriverSawIt,
};

// How early and how late the end may be, in ms after that moment, and why:
// - a timer may fire before its count, against this driver's clock (TimerEarlyMs);
double TimerEarlyMs();
// - the driver polls the window every few ms, but on a loaded machine one of its polls may be
//   served this long after the program showed what it polls for, and so after the arming;
inline constexpr double kDriverLateMs = 200.0;
// - Wine's teardown of the process and the driver's noticing it take up to this much.
inline constexpr double kEndLateMs = 600.0;
inline constexpr double kArmedExitMs = 5000.0;

inline double EarliestExitMs(ExitArmedAfter from) {
    return kArmedExitMs - (from == ExitArmedAfter::CallReturned ? TimerEarlyMs() : kDriverLateMs);
}
inline constexpr double kLatestExitMs = kArmedExitMs + kEndLateMs;

// The program ended (endUs) about 5000 ms after fromUs, within the tolerances above.
void ExpectEndedAboutFiveSecondsAfter(std::int64_t endUs, std::int64_t fromUs, ExitArmedAfter from);

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
