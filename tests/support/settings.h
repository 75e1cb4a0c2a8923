#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "tests/support/registry_tree.h"

namespace brevanto::support {

// Where the product family keeps Brevanto's settings, under HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsRoot[] =
    L"Software\\VB and VBA Program Settings\\ZELTARPDFCreator";
inline constexpr wchar_t kSampleRequestnum[] = L"2026-120834";

// Each throws std::runtime_error on failure.

// Stores size bytes with any registry type as the value name of HKEY_CURRENT_USER\keyPath,
// creating the key.
void StoreUserValue(const std::wstring& keyPath, const std::wstring& name, DWORD type,
                    const void* data, std::size_t size);
// Deletes HKEY_CURRENT_USER\keyPath and everything under it, if it is there.
void DeleteUserKey(const std::wstring& keyPath);

// Deletes the stored settings of ZELTARPDFCreator, and nothing else of the settings store.
void ClearSettings();
void StoreSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value);
// Raw bytes with any registry type, for values the product family never writes itself.
void StoreRawSetting(const std::wstring& section, const std::wstring& key, DWORD type,
                     const void* data, std::size_t size);

// The stored settings as the tests found them, put back at the end (tests clear and store them
// at will): a lab user's own settings survive the tests.
class SavedSettings : public SavedRegistryKey {
public:
    SavedSettings() : SavedRegistryKey(HKEY_CURRENT_USER, kSettingsRoot) {}
};

// Replaces the stored settings with what the product family's settings program stores for a lab
// workstation: a user, a password, a request number, and view mode, print mode, print and export
// switches all 1, so the job takes its longer branch.
void StoreSampleSettings();

} // namespace brevanto::support
