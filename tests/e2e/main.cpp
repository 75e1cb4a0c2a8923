#include <gtest/gtest.h>

#include <windows.h>

#include "tests/e2e/test_registry.h"

namespace {

// Every test starts with the stand-ins registered and an empty settings store.
class WinePrefix : public testing::Environment {
public:
    void SetUp() override {
        brevanto::e2e::RegisterStandins();
        brevanto::e2e::ClearSettings();
    }
    void TearDown() override { brevanto::e2e::ClearSettings(); }
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new WinePrefix);
    return RUN_ALL_TESTS();
}
