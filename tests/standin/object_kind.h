#pragma once

#include <string_view>

namespace brevanto::standin {

enum class ObjectKind { User, Viewer, Classes };

struct ObjectNames {
    std::string_view primary; // what the journal and the scenario call objects of the kind
    std::string_view second;  // for calls through an object's second dispinterface
};

constexpr ObjectNames NamesOf(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::User:
        return {"User", "User2"};
    case ObjectKind::Viewer:
        return {"Viewer", "Viewer2"};
    case ObjectKind::Classes:
        return {"Classes", "Classes2"};
    }
    return {"?", "?2"};
}

constexpr std::string_view JournalName(ObjectKind kind) {
    return NamesOf(kind).primary;
}

constexpr std::string_view SecondJournalName(ObjectKind kind) {
    return NamesOf(kind).second;
}

} // namespace brevanto::standin
