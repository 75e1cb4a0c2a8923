#include <windows.h>

#include <timeapi.h>

#include <gtest/gtest.h>

#include <optional>

#include "platform/base/program_directory.h"
#include "tests/conformance/conformance.h"
#include "tests/support/settings.h"
#include "tests/support/standin_library.h"

namespace {

// Every test starts with the stand-ins registered and an empty settings store; the settings found
// before the first test are put back after the last.
class WinePrefix : public testing::Environment {
public:
    void SetUp() override {
        try {
            brevanto::support::RegisterStandins(brevanto::ProgramDirectory());
            settings_.emplace();
            brevanto::support::ClearSettings();
        } catch (const std::exception& error) {
            FAIL() << error.what();
        }
    }
    void TearDown() override {
        try {
            if (settings_)
                settings_->Restore();
        } catch (const std::exception& error) {
            FAIL() << error.what();
        }
    }

private:
    std::optional<brevanto::support::SavedSettings> settings_;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    // The driver's own waits and polls on the millisecond, not on the 15.6 ms clock tick. Since
    // Windows 10 2004 this process alone; the programs it starts keep the system's tick.
    timeBeginPeriod(1);
    testing::InitGoogleTest(&argc, argv);
    brevanto::conformance::InstallResultLines();
    testing::AddGlobalTestEnvironment(new WinePrefix);
    return RUN_ALL_TESTS();
}
