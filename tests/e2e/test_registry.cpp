#include "tests/e2e/test_registry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/base/program_directory.h"
#include "tests/support/standin_library.h"

namespace brevanto::e2e {

ClassesKeyRemoved::ClassesKeyRemoved(std::wstring subKey) {
    EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, subKey.c_str()), ERROR_SUCCESS);
}

namespace {

void RegisterStandinsAgain() {
    try {
        support::RegisterStandins(ProgramDirectory());
    } catch (const std::exception& error) {
        ADD_FAILURE() << error.what();
    }
}

} // namespace

ClassesKeyRemoved::~ClassesKeyRemoved() {
    RegisterStandinsAgain();
}

ServerPathReplaced::ServerPathReplaced(const std::wstring& clsidKey, const std::wstring& path) {
    const std::wstring key = clsidKey + L"\\InprocServer32";
    EXPECT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, path.c_str(),
                              static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

ServerPathReplaced::~ServerPathReplaced() {
    RegisterStandinsAgain();
}

} // namespace brevanto::e2e
