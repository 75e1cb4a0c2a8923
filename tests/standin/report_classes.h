#pragma once

namespace brevanto::standin {

class DispatchObject;

// A user's report classes, which print or export one report. Not creatable by clients; a user
// object hands out its own.
DispatchObject* NewReportClasses();

} // namespace brevanto::standin
