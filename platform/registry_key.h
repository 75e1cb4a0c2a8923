#pragma once

#include <windows.h>

namespace brevanto {

// Owns one open registry key.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Reset(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    // Closes the held key first, so the pointer can receive a new one.
    HKEY* ResetAndGetAddress() {
        Reset();
        return &key_;
    }
    void Reset() {
        if (key_)
            RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};

} // namespace brevanto
