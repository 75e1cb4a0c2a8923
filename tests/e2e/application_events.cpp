#include "tests/e2e/application_events.h"

#include <cstdio>
#include <cstdlib>

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

} // namespace

std::vector<EventSeen> EventsInTrace(const std::vector<std::string>& trace) {
    std::vector<EventSeen> events;
    for (const auto& line : trace) {
        const auto call = line.find(":advapi:ReportEventW (");
        if (call != std::string::npos) {
            EventSeen event;
            unsigned category = 0;
            void* handle = nullptr;
            if (std::sscanf(line.c_str() + call + 22, "%p,0x%x,0x%x,0x%x", &handle, &event.type,
                            &category, &event.id) == 4)
                events.push_back(event);
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
