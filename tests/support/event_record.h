#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One record of a classic event log as ReadEventLogW gives it (EVENTLOGRECORD, then its source,
// computer and strings), read from its bytes, so the layout is tested without Windows.
namespace brevanto::support {

struct EventRecord {
    std::uint32_t length = 0; // of the whole record: the next one starts there
    std::uint32_t recordNumber = 0;
    std::uint32_t eventId = 0;
    std::uint16_t eventType = 0; // EVENTLOG_ERROR_TYPE (1), _WARNING_ (2), _INFORMATION_ (4), ...
    std::u16string source;
    std::vector<std::u16string> strings;
    std::vector<std::uint8_t> userSid; // the SID structure the event was written with; empty: none
};

// The record at the start of bytes; nothing when they do not hold a whole, well-formed one.
std::optional<EventRecord> ReadEventRecord(const std::uint8_t* bytes, std::size_t size);

} // namespace brevanto::support
