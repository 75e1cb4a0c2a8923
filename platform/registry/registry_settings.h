#pragma once

#include <windows.h>

#include <string>

#include "platform/base/unique_resource.h"
#include "report/settings_store.h"

namespace brevanto {

// The settings store the product family shares:
// <root>\Software\VB and VBA Program Settings\<app>\<section>, one value per key.
// A REG_SZ or REG_EXPAND_SZ value is the stored text, unexpanded, up to its first NUL; a value of
// any other type, like an absent one, reads as absent, so the caller's default applies.
class RegistrySettingsStore : public SettingsStore {
public:
    explicit RegistrySettingsStore(
        HKEY root = HKEY_CURRENT_USER,
        std::wstring basePath = L"Software\\VB and VBA Program Settings");

    std::optional<std::wstring> TryRead(std::wstring_view app, std::wstring_view section,
                                        std::wstring_view key) const override;

    // The registry type of the stored value (REG_SZ, REG_DWORD, ...), or nothing when absent.
    std::optional<DWORD> TypeOf(std::wstring_view app, std::wstring_view section,
                                std::wstring_view key) const;

private:
    UniqueRegistryKey OpenSection(std::wstring_view app, std::wstring_view section) const;

    HKEY root_;
    std::wstring basePath_;
};

} // namespace brevanto
