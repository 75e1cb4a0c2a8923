#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace brevanto::support {

// The value of a variable of this process's environment; none when it is not set.
inline std::optional<std::wstring> TryEnvironmentValue(const wchar_t* name) {
    std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    if (value.empty())
        return std::nullopt;
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

// The same, empty when the variable is not set.
inline std::wstring EnvironmentValue(const wchar_t* name) {
    return TryEnvironmentValue(name).value_or(L"");
}

// Gives a variable of this process's environment, which the programs it starts inherit, a value
// (none: the variable is removed) until the end of the guard, which restores the previous one.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::wstring name, const std::optional<std::wstring>& value)
        : name_(std::move(name)), previous_(TryEnvironmentValue(name_.c_str())) {
        Set(value);
    }
    ~ScopedEnvironmentVariable() { Set(previous_); }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

    void Set(const std::optional<std::wstring>& value) const {
        SetEnvironmentVariableW(name_.c_str(), value ? value->c_str() : nullptr);
    }

private:
    std::wstring name_;
    std::optional<std::wstring> previous_;
};

} // namespace brevanto::support
