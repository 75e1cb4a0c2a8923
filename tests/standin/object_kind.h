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

// The name for calls that come through an object's second dispinterface.
constexpr std::string_view SecondJournalName(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::User:
        return "User2";
    case ObjectKind::Viewer:
        return "Viewer2";
    case ObjectKind::Classes:
        return "Classes2";
    }
    return "?2";
}

} // namespace brevanto::standin
