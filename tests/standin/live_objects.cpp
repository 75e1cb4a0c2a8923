#include "live_objects.h"

#include "exclusive_lock.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace brevanto::standin {
namespace {

SRWLOCK g_lock = SRWLOCK_INIT;

std::vector<std::pair<IUnknown*, ObjectKind>>& Objects() {
    static std::vector<std::pair<IUnknown*, ObjectKind>> objects;
    return objects;
}

} // namespace

void AddLiveObject(IUnknown* identity, ObjectKind kind) {
    ExclusiveLock hold(g_lock);
    Objects().emplace_back(identity, kind);
}

void RemoveLiveObject(IUnknown* identity) {
    ExclusiveLock hold(g_lock);
    auto& objects = Objects();
    std::erase_if(objects, [identity](const auto& entry) { return entry.first == identity; });
}

std::optional<ObjectKind> FindLiveObject(IUnknown* identity) {
    ExclusiveLock hold(g_lock);
    const auto& objects = Objects();
    const auto found = std::find_if(objects.begin(), objects.end(), [identity](const auto& entry) {
        return entry.first == identity;
    });
    if (found == objects.end())
        return std::nullopt;
    return found->second;
}

bool AnyLiveObjects() {
    ExclusiveLock hold(g_lock);
    return !Objects().empty();
}

} // namespace brevanto::standin
