#include "platform/registry_settings.h"

#include <vector>

#include "platform/unique_resource.h"

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

    const std::wstring valueName(key);
    std::vector<BYTE> data(256);
    DWORD type = 0;
    for (;;) {
        DWORD size = static_cast<DWORD>(data.size());
        const LONG status = RegQueryValueExW(sectionKey.Get(), valueName.c_str(), nullptr, &type,
                                             data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            // The value may grow between two calls; ask again with what it needs now.
            data.resize(size + sizeof(wchar_t));
            continue;
        }
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        data.resize(size);
        break;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return std::nullopt;

    // The byte count may be odd or lack the terminator; copy whole code units only.
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    std::copy(data.begin(), data.begin() + text.size() * sizeof(wchar_t),
              reinterpret_cast<BYTE*>(text.data()));
    if (const auto nul = text.find(L'\0'); nul != std::wstring::npos)
        text.resize(nul);
    return text;
}

} // namespace brevanto
