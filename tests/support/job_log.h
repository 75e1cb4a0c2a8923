#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brevanto::support {

// One line of the run log.
struct JobLogLine {
    std::int16_t part;
    std::wstring message;

    // As the log box shows it, without its CR LF: " 6 Requestnum 2026-120834".
    std::wstring Text() const { return L" " + std::to_wstring(part) + L" " + message; }
};

// The thirteen lines of a job that runs to its end with the default folder, library version and
// switches, for a program in programDirectory and the request number as stored.
inline std::vector<JobLogLine> CompletedJobLog(const std::wstring& programDirectory,
                                               const std::wstring& requestnum) {
    return {
        {1, L"clsCurrentUser"},
        {2, L"User"},
        {3, L"LoginUser"},
        {4, L"LabResultViewer"},
        {5, L"LabResultViewer.zeltarUser = User"},
        {6, L"setexportpath " + programDirectory + L"\\PDF"},
        {6, L"Requestnum " + requestnum},
        {7, L"ViewMode"},
        {7, L"ViewMode1a"},
        {7, L"Loadviewer yes"},
        {7, L"ViewMode1b"},
        {8, L"Show_Results "},
        {8, L"Show_Results Done"},
    };
}

} // namespace brevanto::support
