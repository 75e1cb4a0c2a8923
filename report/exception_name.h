#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

namespace brevanto {

// The exceptions a component's crash shows most, named as the run's event and the workstation
// check both name them; others are given by their code alone.
inline constexpr std::pair<std::uint32_t, std::wstring_view> kKnownExceptions[] = {
    {0x80000003, L"breakpoint"},
    {0xC0000005, L"access violation"},
    {0xC000001D, L"illegal instruction"},
    {0xC0000094, L"integer division by zero"},
    {0xC00000FD, L"stack overflow"},
    {0xC0000374, L"heap corruption"},
    // Our own crash handling ends the process with this code on abort or std::terminate.
    {0xC0000409, L"fail-fast exit: abort, std::terminate or a stack buffer overrun"},
    {0xE06D7363, L"C++ exception not caught"},
};

// The name of an exception code, or empty when it is none of the known ones.
constexpr std::wstring_view ExceptionName(std::uint32_t code) {
    for (const auto& [known, name] : kKnownExceptions)
        if (known == code)
            return name;
    return {};
}

} // namespace brevanto
