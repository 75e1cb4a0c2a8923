#include "viewer.h"

#include "dispatch_object.h"

namespace brevanto::standin {
namespace {

// zeltarUser gives back the user object last put.
constexpr Member kMembers[] = {
    {.id = 1, .name = "zeltarUser", .kind = MemberKind::PutGet},
    {.id = 2, .name = "setexportpath", .kind = MemberKind::Put},
    {.id = 3, .name = "SetDLLVer", .kind = MemberKind::Put},
    {.id = 4, .name = "Requestnum", .kind = MemberKind::Put},
    {.id = 5, .name = "AutoPrint", .kind = MemberKind::Put},
    {.id = 6, .name = "viewmode", .kind = MemberKind::Put},
    {.id = 7, .name = "loadviewer", .kind = MemberKind::Put},
    {.id = 8, .name = "Export", .kind = MemberKind::Put},
    {.id = 9, .name = "Show_Results", .kind = MemberKind::Method},
};

} // namespace

DispatchObject* NewViewer() {
    return NewPlainObject(ObjectKind::Viewer, kMembers);
}

} // namespace brevanto::standin
