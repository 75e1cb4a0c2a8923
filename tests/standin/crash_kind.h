#pragma once

#include <string_view>

namespace brevanto::standin {

// How a component crashes: an access violation (0xC0000005), an MSVC C++ exception that no
// handler takes (0xE06D7363), or a stack overflow (0xC00000FD).
enum class CrashKind { AccessViolation, CppException, StackOverflow };

// As the scenario and the journal spell it.
constexpr std::string_view CrashKindName(CrashKind kind) {
    switch (kind) {
    case CrashKind::AccessViolation:
        return "av";
    case CrashKind::CppException:
        return "cpp";
    case CrashKind::StackOverflow:
        return "stack";
    }
    return "?";
}

} // namespace brevanto::standin
