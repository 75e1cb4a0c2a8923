#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevanto {

// The per-user application settings store: text values addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored text, or nothing when the application, section or key is absent.
    virtual std::optional<std::wstring> TryRead(std::wstring_view app, std::wstring_view section,
                                                std::wstring_view key) const = 0;
};

} // namespace brevanto
