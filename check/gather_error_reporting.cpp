#include "check/gather_error_reporting.h"

#include "platform/event_log.h"
#include "platform/local_dumps.h"

namespace brevanto::check {

ErrorReportingFacts GatherErrorReporting() {
    ErrorReportingFacts facts;
    const LocalDumpSettings dumps = ReadLocalDumpSettings(L"Brevanto.exe");
    facts.dumpsConfigured = dumps.configured;
    facts.dumpFolder = dumps.folder;
    facts.dumpCount = dumps.count;
    facts.dumpType = dumps.type;
    const EventSourceRegistration source = ReadEventSourceRegistration();
    facts.sourceRegistered = source.registered;
    facts.messageFile = source.messageFile;
    return facts;
}

} // namespace brevanto::check
