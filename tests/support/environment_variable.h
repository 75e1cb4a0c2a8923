#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace brevanto::support {

// Gives a variable of this process's environment, which the programs it starts inherit, a value
// (none: the variable is removed) until the end of the guard, which restores the previous one.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::wstring name, const std::optional<std::wstring>& value)
        : name_(std::move(name)), previous_(Value()) {
        Set(value);
    }
    ~ScopedEnvironmentVariable() { Set(previous_); }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

    void Set(const std::optional<std::wstring>& value) const {
        SetEnvironmentVariableW(name_.c_str(), value ? value->c_str() : nullptr);
    }

private:
    std::optional<std::wstring> Value() const {
        std::wstring value(GetEnvironmentVariableW(name_.c_str(), nullptr, 0), L'\0');
        if (value.empty())
            return std::nullopt;
        value.resize(
            GetEnvironmentVariableW(name_.c_str(), value.data(), static_cast<DWORD>(value.size())));
        return value;
    }

    std::wstring name_;
    std::optional<std::wstring> previous_;
};

} // namespace brevanto::support
