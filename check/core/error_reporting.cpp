#include "check/core/error_reporting.h"

#include "check/core/json_members.h"

namespace brevanto::check {

const char* DumpTypeName(unsigned dumpType) {
    switch (dumpType) {
    case 0:
        return "custom";
    case 2:
        return "full";
    default:
        return "mini";
    }
}

std::vector<std::pair<std::wstring, std::wstring>>
ErrorReportingRows(const ErrorReportingFacts& f) {
    std::wstring dumps = L"not configured (LocalDumps): a crash leaves no dump";
    if (f.dumpsConfigured) {
        const std::string type = DumpTypeName(f.dumpType);
        dumps.assign(type.begin(), type.end());
        dumps.append(L" dumps in ").append(f.dumpFolder);
        dumps.append(L", the newest ").append(std::to_wstring(f.dumpCount)).append(L" kept");
    }
    std::wstring source =
        L"not registered: events are still written, without their text in Event Viewer";
    if (f.sourceRegistered) {
        source.assign(L"registered, messages from ");
        source.append(f.messageFile.empty() ? std::wstring(L"(none)") : f.messageFile);
    }
    return {{L"Crash dumps", dumps}, {L"Event source", source}};
}

std::string CrashDumpsJson(const ErrorReportingFacts& f) {
    const std::string type = f.dumpsConfigured ? DumpTypeName(f.dumpType) : "";
    return Members()
        .Add("configured", Bool(f.dumpsConfigured))
        .Add("folder", Str(f.dumpsConfigured ? f.dumpFolder : std::wstring()))
        .Add("count", std::to_string(f.dumpsConfigured ? f.dumpCount : 0))
        .Add("type", Str(std::wstring(type.begin(), type.end())))
        .Object();
}

std::string EventSourceJson(const ErrorReportingFacts& f) {
    return Members()
        .Add("registered", Bool(f.sourceRegistered))
        .Add("messageFile", Str(f.messageFile))
        .Object();
}

} // namespace brevanto::check
