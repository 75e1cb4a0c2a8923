#pragma once

#include <exception>
#include <string>
#include <utility>

namespace brevanto {

// The one error type of the program. Its description is what the failure caption shows, so it is
// kept exactly as the component or the platform gave it, even when empty.
class RunError : public std::exception {
public:
    explicit RunError(std::wstring description) : description_(std::move(description)) {}

    const std::wstring& Description() const noexcept { return description_; }
    const char* what() const noexcept override { return "Brevanto run error"; }

private:
    std::wstring description_;
};

} // namespace brevanto
