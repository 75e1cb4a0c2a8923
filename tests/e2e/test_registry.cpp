#include "tests/e2e/test_registry.h"

#include <gtest/gtest.h>

#include "tests/e2e/program_run.h"

namespace brevanto::e2e {

void ClearSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsRoot);
}

void StoreRawSetting(const std::wstring& section, const std::wstring& key, DWORD type,
                     const std::vector<BYTE>& data) {
    const std::wstring path = std::wstring(kSettingsRoot) + L"\\" + section;
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    const LONG status =
        RegSetValueExW(handle, key.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(handle);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

void StoreSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(value.c_str());
    StoreRawSetting(section, key, REG_SZ,
                    std::vector<BYTE>(bytes, bytes + (value.size() + 1) * sizeof(wchar_t)));
}

void RegisterStandins() {
    const std::wstring dll = BinaryDirectory() + L"\\BrevantoStandin.dll";
    HMODULE module = LoadLibraryW(dll.c_str());
    ASSERT_TRUE(module) << "cannot load BrevantoStandin.dll";
    using Register = HRESULT(STDAPICALLTYPE*)();
    const auto registerServer = reinterpret_cast<Register>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
    ASSERT_TRUE(registerServer);
    EXPECT_EQ(registerServer(), S_OK);
    FreeLibrary(module);
}

ClassesKeyRemoved::ClassesKeyRemoved(std::wstring subKey) {
    EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, subKey.c_str()), ERROR_SUCCESS);
}

ClassesKeyRemoved::~ClassesKeyRemoved() {
    RegisterStandins();
}

} // namespace brevanto::e2e
