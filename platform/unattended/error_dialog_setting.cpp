#include "platform/unattended/error_dialog_setting.h"

#include "platform/registry/machine_registry.h"
#include "platform/registry/registry_value.h"

namespace brevanto {
namespace {

constexpr wchar_t kPolicyKey[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Windows Error Reporting";
constexpr wchar_t kSettingKey[] = L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting";

UniqueRegistryKey OpenUserKey(const wchar_t* path) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
        key.Reset();
    return key;
}

} // namespace

ErrorDialogSetting ReadErrorDialogSetting() {
    const struct {
        UniqueRegistryKey key;
        const wchar_t* root;
        const wchar_t* path;
    } places[] = {
        {OpenMachineKey(kPolicyKey), L"HKEY_LOCAL_MACHINE\\", kPolicyKey},
        {OpenUserKey(kPolicyKey), L"HKEY_CURRENT_USER\\", kPolicyKey},
        {OpenMachineKey(kSettingKey), L"HKEY_LOCAL_MACHINE\\", kSettingKey},
        {OpenUserKey(kSettingKey), L"HKEY_CURRENT_USER\\", kSettingKey},
    };
    for (const auto& place : places) {
        if (const auto value = TryReadRegistryNumber(place.key.Get(), L"DontShowUI"))
            return {*value == 1, std::wstring(place.root) + place.path};
    }
    return {};
}

} // namespace brevanto
