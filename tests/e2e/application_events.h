#pragma once

#include <string>
#include <vector>

namespace brevanto::e2e {

// Wine's advapi32 prints each ReportEventW call (a fixme line with its type and id, then the
// strings line by line on the eventlog channel); these channels show them.
inline constexpr char kEventTrace[] = "fixme+advapi,err+eventlog,warn+eventlog,trace+eventlog";

inline constexpr unsigned kErrorEvent = 0x0001;
inline constexpr unsigned kWarningEvent = 0x0002;
inline constexpr unsigned kInformationEvent = 0x0004;

struct EventSeen {
    unsigned type = 0;
    unsigned id = 0;
    std::string text; // the strings as written, Wine's escapes undone, each ended by CR LF
};

// The ReportEventW calls in a process's trace lines, in order.
std::vector<EventSeen> EventsInTrace(const std::vector<std::string>& trace);

// The value of the event's "<label>: <value>" line; empty when it has none.
std::string EventLine(const EventSeen& event, const std::string& label);

} // namespace brevanto::e2e
