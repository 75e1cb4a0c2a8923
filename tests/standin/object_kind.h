#pragma once

#include <string_view>

namespace brevanto::standin {

enum class ObjectKind { User, Viewer, Classes };

// The name the journal and the scenario use for objects of this kind.
constexpr std::string_view JournalName(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::User:
        return "User";
    case ObjectKind::Viewer:
        return "Viewer";
    case ObjectKind::Classes:
        return "Classes";
    }
    return "?";
}

} // namespace brevanto::standin
