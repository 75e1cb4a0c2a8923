#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brevanto {

// What became of the crash dump LocalDumps asks for.
enum class DumpWritten { NotConfigured, Written, CutShort, Failed };

// How a run ended, as the Application event tells it. Nothing here may hold the password.
struct RunEndFacts {
    int status = 0; // the exit status; for a crash the exception code
    bool crashed = false;
    std::int16_t part = 0;       // CurrentPart; 0 before the job began
    std::wstring failureCaption; // status 1: the caption as the window showed it
    std::wstring errorText;      // status 4: the error outside the job
    std::wstring requestNumber;
    std::uint64_t runMs = 0; // from the process's start
    std::wstring version;
    // A crash:
    std::wstring module;      // the file holding the exception address; empty: none
    std::uint64_t offset = 0; // of the address in it
    std::wstring member;      // the component member being called; empty: none
    DumpWritten dump = DumpWritten::NotConfigured;
    std::wstring dumpPath;    // Written, CutShort
    std::wstring dumpProblem; // Failed
    unsigned dumpLimitMs = 0; // CutShort: the time it was given
};

enum class RunEventType { Information, Warning, Error };

// Each line is one of the event's strings, and each id's message in the exe's message table
// lays out exactly as many, one a line: an id always has the same number of lines.
struct RunEvent {
    RunEventType type = RunEventType::Information;
    unsigned id = 0;
    std::vector<std::wstring> lines; // a sentence, then one fact a line

    // The lines as Event Viewer shows them, each ended by CR LF.
    std::wstring Text() const;
};

inline constexpr unsigned kEventCompleted = 1000;
inline constexpr unsigned kEventFailed = 1001;
inline constexpr unsigned kEventCutOffByTimer = 1002;
inline constexpr unsigned kEventCancelled = 1003;
inline constexpr unsigned kEventUnhandledError = 1004;
inline constexpr unsigned kEventEndedByExitGuard = 1005;
inline constexpr unsigned kEventCrashed = 1100;

// The one Application event of a run.
RunEvent RunEventFor(const RunEndFacts& facts);

// An exception code and its name: "0xC0000005 (access violation)".
std::wstring ExceptionCodeText(std::uint32_t code);

} // namespace brevanto
