#include "platform/registry/registry_settings.h"

#include "platform/registry/registry_value.h"

namespace brevanto {

RegistrySettingsStore::RegistrySettingsStore(HKEY root, std::wstring basePath)
    : root_(root), basePath_(std::move(basePath)) {}

UniqueRegistryKey RegistrySettingsStore::OpenSection(std::wstring_view app,
                                                     std::wstring_view section) const {
    const std::wstring path = basePath_ + L"\\" + std::wstring(app) + L"\\" + std::wstring(section);
    UniqueRegistryKey sectionKey;
    RegOpenKeyExW(root_, path.c_str(), 0, KEY_QUERY_VALUE, sectionKey.Put());
    return sectionKey;
}

std::optional<DWORD> RegistrySettingsStore::TypeOf(std::wstring_view app, std::wstring_view section,
                                                   std::wstring_view key) const {
    const UniqueRegistryKey sectionKey = OpenSection(app, section);
    DWORD type = 0;
    if (!sectionKey || RegQueryValueExW(sectionKey.Get(), std::wstring(key).c_str(), nullptr, &type,
                                        nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return type;
}

std::optional<std::wstring> RegistrySettingsStore::TryRead(std::wstring_view app,
                                                           std::wstring_view section,
                                                           std::wstring_view key) const {
    const UniqueRegistryKey sectionKey = OpenSection(app, section);
    if (!sectionKey)
        return std::nullopt;

    return TryReadRegistryText(sectionKey.Get(), std::wstring(key).c_str(), Expansion::AsStored);
}

} // namespace brevanto
