#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace brevanto {

// The source our Application events are written under. The package registers it with the exe as
// its message file; an unregistered source still writes, Event Viewer then lacks the message.
inline constexpr wchar_t kEventSource[] = L"Brevanto";

enum class EventKind : WORD {
    Error = EVENTLOG_ERROR_TYPE,
    Warning = EVENTLOG_WARNING_TYPE,
    Information = EVENTLOG_INFORMATION_TYPE,
};

// Writes one Application event with its strings (the message for the id in the exe's message
// table lays them out). A failure is ignored. The event log service may be slow or stopped:
// call it where something else bounds the wait (the exit guard), or use the Within twin.
void WriteApplicationEvent(EventKind kind, DWORD id, const std::vector<std::wstring>& strings);

// The same from a thread of its own, given up on after waitMs.
void WriteApplicationEventWithin(EventKind kind, DWORD id, const std::vector<std::wstring>& strings,
                                 DWORD waitMs);

// Whether the event source is registered, and the message file it names.
struct EventSourceRegistration {
    bool registered = false;
    std::wstring messageFile;
};
EventSourceRegistration ReadEventSourceRegistration();

} // namespace brevanto
