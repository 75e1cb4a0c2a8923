#pragma once

#include <string>
#include <utility>
#include <vector>

namespace brevanto::check {

// What Windows keeps of a crashed or ended Brevanto.exe: reported as information, never as a
// problem, as both are the administrator's choice.
struct ErrorReportingFacts {
    bool dumpsConfigured = false; // LocalDumps asks for dumps of Brevanto.exe
    std::wstring dumpFolder;      // expanded
    unsigned dumpCount = 0;
    unsigned dumpType = 0; // 0 custom, 1 mini, 2 full
    bool sourceRegistered = false;
    std::wstring messageFile; // the source's EventMessageFile
};

// "mini", "full" or "custom".
const char* DumpTypeName(unsigned dumpType);

// The rows of the report's section, label and value.
std::vector<std::pair<std::wstring, std::wstring>> ErrorReportingRows(const ErrorReportingFacts& f);

// The "crashDumps" and "eventSource" objects of the JSON report.
std::string CrashDumpsJson(const ErrorReportingFacts& f);
std::string EventSourceJson(const ErrorReportingFacts& f);

} // namespace brevanto::check
