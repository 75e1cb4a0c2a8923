#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/event_text.h"

namespace brevanto {

// What the event can say of the crash dump LocalDumps asks for. The event is written before the
// dump, so that a dump that blocks cannot lose it: it says where the dump goes, or why none is.
enum class DumpPlan {
    NotConfigured, // no LocalDumps key: no file, as Windows would write none either
    NotWritten,    // refused or impossible; dumpProblem says why
    Pending,       // being written to dumpPath after the event, within dumpLimitMs of the crash
};

// How a run ended, as the Application event tells it. Every text is a view of a buffer the
// caller keeps; nothing here may hold the password (the caption and the error text come with it
// masked).
struct RunEndFacts {
    int status = 0; // the exit status; for a crash the exception code
    bool crashed = false;
    std::int16_t part = 0;            // CurrentPart; 0 before the job began
    std::wstring_view failureCaption; // status 1: the caption as the window showed it
    std::wstring_view errorText;      // status 4: the error outside the job
    bool requestNumberLogged = false; // the job has written line 6
    std::wstring_view requestNumber;  // as line 6 showed it
    std::uint64_t runMs = 0;          // from the process's start
    std::wstring_view version;
    // A crash:
    std::wstring_view module; // the file holding the exception address; empty: none
    std::uint64_t offset = 0; // of the address in it
    std::wstring_view member; // the component member being called; empty: none
    DumpPlan dump = DumpPlan::NotConfigured;
    std::wstring_view dumpPath;    // Pending
    std::wstring_view dumpProblem; // NotWritten
    unsigned dumpLimitMs = 0;      // Pending: the time it is given
};

enum class RunEventType { Information, Warning, Error };

// The most strings an event has (a crash's).
inline constexpr std::size_t kMaxEventStrings = 10;

// Each string is one line of the event, and each id's message in the exe's message table lays
// out exactly as many, one a line: an id always has the same number of strings. Composed in
// place (about 40 KB): keep one where it is written rather than on a thread's stack.
struct RunEvent {
    RunEventType type = RunEventType::Information;
    unsigned id = 0;
    std::array<EventString, kMaxEventStrings> strings;
    std::size_t count = 0; // a sentence, then one fact a string

    // The strings as Event Viewer shows them, each ended by CR LF.
    std::wstring Text() const;
};

inline constexpr unsigned kEventCompleted = 1000;
inline constexpr unsigned kEventFailed = 1001;
inline constexpr unsigned kEventCutOffByTimer = 1002;
inline constexpr unsigned kEventCancelled = 1003;
inline constexpr unsigned kEventUnhandledError = 1004;
inline constexpr unsigned kEventEndedByExitGuard = 1005;
inline constexpr unsigned kEventCrashed = 1100;

// How many characters of the request number the event shows: enough to find the run, not the
// order it stands for.
inline constexpr std::size_t kRequestNumberShown = 4;

// Composes the one Application event of a run into event, allocating nothing.
void ComposeRunEvent(const RunEndFacts& facts, RunEvent& event);

} // namespace brevanto
