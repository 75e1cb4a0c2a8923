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

class ReportClasses final : public DispatchObject {
public:
    ReportClasses() : DispatchObject(ObjectKind::Classes, kMembers) {}
};

} // namespace

DispatchObject* NewReportClasses() {
    return NewJournaled<ReportClasses>();
}

} // namespace brevanto::standin
