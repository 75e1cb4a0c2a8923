#include "tests/e2e/test_registry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/program_directory.h"
#include "tests/support/standin_library.h"

namespace brevanto::e2e {

ClassesKeyRemoved::ClassesKeyRemoved(std::wstring subKey) {
    EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, subKey.c_str()), ERROR_SUCCESS);
}

ClassesKeyRemoved::~ClassesKeyRemoved() {
    try {
        support::RegisterStandins(ProgramDirectory());
    } catch (const std::exception& error) {
        ADD_FAILURE() << error.what();
    }
}

} // namespace brevanto::e2e
