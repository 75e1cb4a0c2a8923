#include <gtest/gtest.h>

#include "tests/conformance/conformance.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // The test runner reads each test's result from these lines.
    brevanto::conformance::InstallResultLines();
    return RUN_ALL_TESTS();
}
