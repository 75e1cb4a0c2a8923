#include "tests/e2e/application_events.h"

#include <windows.h>

#include <sddl.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/conformance/conformance.h"
#include "tests/support/clock.h"
#include "tests/support/event_record.h"
#include "tests/support/program_run.h"

namespace brevanto::e2e {
namespace {

// Undoes Wine's debugstr_w: L"..." with \r \n \t \\ \" and \xNNNN escapes.
std::string Unescaped(const std::string& quoted) {
    const auto open = quoted.find("L\"");
    const auto close = quoted.rfind('"');
    if (open == std::string::npos || close == std::string::npos || close <= open + 1)
        return std::string();
    std::string text;
    for (std::size_t i = open + 2; i < close; ++i) {
        if (quoted[i] != '\\' || i + 1 >= close) {
            text += quoted[i];
            continue;
        }
        const char next = quoted[++i];
        switch (next) {
        case 'r':
            text += '\r';
            break;
        case 'n':
            text += '\n';
            break;
        case 't':
            text += '\t';
            break;
        case 'x':
        case 'u': {
            const std::string hex = quoted.substr(i + 1, 4);
            text += static_cast<char>(std::strtoul(hex.c_str(), nullptr, 16) < 0x80
                                          ? std::strtoul(hex.c_str(), nullptr, 16)
                                          : '?');
            i += 4;
            break;
        }
        default:
            text += next;
        }
    }
    return text;
}

using UniqueEventLog = UniqueResource<HANDLE, &CloseEventLog>;

// A slow event log service may show a record a moment after the writer has ended.
constexpr std::int64_t kRecordDueUs = 2'000'000;
constexpr DWORD kPollMs = 100;

UniqueEventLog OpenApplicationLog() {
    return UniqueEventLog(OpenEventLogW(nullptr, L"Application"));
}

// The newest record's number; 0 when the log is empty (record numbers start at 1).
std::optional<unsigned long> NewestRecord(HANDLE log) {
    DWORD oldest = 0, count = 0;
    if (!GetOldestEventLogRecord(log, &oldest) || !GetNumberOfEventLogRecords(log, &count))
        return std::nullopt;
    return count ? oldest + count - 1 : 0;
}

std::string SidText(std::vector<std::uint8_t> sid) {
    LPWSTR text = nullptr;
    if (sid.empty() || !ConvertSidToStringSidW(sid.data(), &text))
        return std::string();
    const UniqueLocal owned(text);
    return Utf8(text);
}

EventSeen Seen(const support::EventRecord& record) {
    EventSeen event;
    event.type = record.eventType;
    event.id = record.eventId;
    event.userSidGiven = !record.userSid.empty();
    event.userSid = SidText(record.userSid);
    for (const std::u16string& text : record.strings)
        event.text += Utf8(std::wstring(text.begin(), text.end())) + "\r\n";
    return event;
}

// The events of our source in the records after 'after', oldest first.
std::vector<EventSeen> ReadEventsAfter(HANDLE log, unsigned long after) {
    std::vector<EventSeen> events;
    const std::optional<unsigned long> newest = NewestRecord(log);
    std::vector<std::uint8_t> buffer(64 * 1024);
    for (unsigned long next = after + 1; newest && next <= *newest;) {
        DWORD read = 0, needed = 0;
        if (!ReadEventLogW(log, EVENTLOG_SEEK_READ | EVENTLOG_FORWARDS_READ, next, buffer.data(),
                           static_cast<DWORD>(buffer.size()), &read, &needed)) {
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
                break;
            buffer.resize(needed);
            continue;
        }
        for (std::size_t at = 0; at < read;) {
            const auto record = support::ReadEventRecord(buffer.data() + at, read - at);
            if (!record)
                return events;
            if (record->source == u"Brevanto")
                events.push_back(Seen(*record));
            next = record->recordNumber + 1;
            at += record->length;
        }
    }
    return events;
}

} // namespace

ApplicationEventWatch::ApplicationEventWatch() {
    if (conformance::RunningUnderWine()) {
        if (!support::WineTraceReadable())
            noWitness_ = "Wine writes no event log, and its trace of the run, where the events "
                         "show, is not readable: BREVANTO_DRIVER_STDERR names no file";
        return;
    }
    const UniqueEventLog log = OpenApplicationLog();
    const auto newest = log ? NewestRecord(log.Get()) : std::nullopt;
    if (!newest) {
        noWitness_ = "the Application log cannot be read: error " + std::to_string(GetLastError());
        return;
    }
    newestRecord_ = *newest;
}

std::string ApplicationEventWatch::WineChannels() const {
    return conformance::RunningUnderWine() ? kEventTrace : "";
}

std::vector<EventSeen> ApplicationEventWatch::EventsOf(const ProgramRun& run) const {
    if (conformance::RunningUnderWine())
        return EventsInTrace(run.Trace());
    const UniqueEventLog log = OpenApplicationLog();
    if (!log)
        return {};
    const std::int64_t dueUs = support::NowUs() + kRecordDueUs;
    for (;;) {
        std::vector<EventSeen> events = ReadEventsAfter(log.Get(), newestRecord_);
        if (!events.empty() || support::NowUs() >= dueUs)
            return events;
        Sleep(kPollMs);
    }
}

std::vector<EventSeen> EventsInTrace(const std::vector<std::string>& trace) {
    std::vector<EventSeen> events;
    for (const auto& line : trace) {
        const auto call = line.find(":advapi:ReportEventW (");
        if (call != std::string::npos) {
            EventSeen event;
            unsigned category = 0;
            void* handle = nullptr;
            void* sid = nullptr;
            if (std::sscanf(line.c_str() + call + 22, "%p,0x%x,0x%x,0x%x,%p", &handle, &event.type,
                            &category, &event.id, &sid) == 5) {
                event.userSidGiven = sid != nullptr;
                events.push_back(event);
            }
            continue;
        }
        if (!events.empty() && line.find(":eventlog:ReportEventW ") != std::string::npos)
            events.back().text += Unescaped(line) + "\r\n";
    }
    return events;
}

std::string EventLine(const EventSeen& event, const std::string& label) {
    const std::string start = label + ": ";
    std::size_t at = 0;
    while (at < event.text.size()) {
        auto end = event.text.find("\r\n", at);
        if (end == std::string::npos)
            end = event.text.size();
        const std::string line = event.text.substr(at, end - at);
        if (line.rfind(start, 0) == 0)
            return line.substr(start.size());
        at = end + 2;
    }
    return std::string();
}

} // namespace brevanto::e2e
