#include "report_classes.h"

#include "dispatch_object.h"

namespace brevanto::standin {
namespace {

constexpr Member kMembers[] = {
    {.id = 1, .name = "PDFPrintMode", .kind = MemberKind::Put},
    {.id = 2, .name = "ExportFileName", .kind = MemberKind::Put},
    {.id = 3, .name = "ExportFilePath", .kind = MemberKind::Put},
    {.id = 4, .name = "directprint", .kind = MemberKind::Put},
    {.id = 5, .name = "OpenMainReport", .kind = MemberKind::Method, .argCount = 3},
};

} // namespace

DispatchObject* NewReportClasses() {
    return NewPlainObject(ObjectKind::Classes, kMembers);
}

} // namespace brevanto::standin
