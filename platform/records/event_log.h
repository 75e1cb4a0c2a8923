#pragma once

#include <windows.h>

#include <string>

namespace brevanto {

// The source our Application events are written under. The package registers it with the exe as
// its message file; an unregistered source still writes, Event Viewer then lacks the message.
inline constexpr wchar_t kEventSource[] = L"Brevanto";

enum class EventKind : WORD {
    Error = EVENTLOG_ERROR_TYPE,
    Warning = EVENTLOG_WARNING_TYPE,
    Information = EVENTLOG_INFORMATION_TYPE,
};

// Registers the event source and copies this process's user SID, once, at start-up: after a
// crash neither may be done, as both allocate.
void PrepareApplicationEvents();

// Writes one Application event with its strings (the message for the id in the exe's message
// table lays them out), with the running account as its user, through the source registered at
// start-up; nothing without one. It allocates nothing of ours and loads nothing. A failure is
// ignored. The event log service may be slow or stopped: call it where something else bounds the
// wait (the exit guard, a crash's deadline).
void WriteApplicationEvent(EventKind kind, DWORD id, const wchar_t* const* strings, WORD count);

// Whether the event source is registered, and the message file it names.
struct EventSourceRegistration {
    bool registered = false;
    std::wstring messageFile;
};
EventSourceRegistration ReadEventSourceRegistration();

} // namespace brevanto
