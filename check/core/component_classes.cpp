#include "check/core/component_classes.h"

#include "report/component_members.h"
#include "report/report_job.h"

namespace brevanto::check {
namespace {

constexpr ComponentClass kClasses[] = {
    {L"user component", kUserClass, kUserMembers},
    {L"viewer component", kViewerClass, kViewerMembers},
};

} // namespace

std::span<const ComponentClass> ComponentClasses() {
    return kClasses;
}

const ComponentClass* FindComponentClass(std::wstring_view progId) {
    for (const ComponentClass& c : kClasses)
        if (c.progId == progId)
            return &c;
    return nullptr;
}

} // namespace brevanto::check
