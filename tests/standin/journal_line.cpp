#include "journal_line.h"

#include "journal_escape.h"

#include <cstdio>

namespace brevanto::standin {
namespace {

std::string_view KindName(JournalKind kind) {
    switch (kind) {
    case JournalKind::Create:
        return "create";
    case JournalKind::Destroy:
        return "destroy";
    case JournalKind::Get:
        return "get";
    case JournalKind::Put:
        return "put";
    case JournalKind::Call:
        return "call";
    case JournalKind::Seen:
        return "seen";
    case JournalKind::Crash:
        return "crash";
    case JournalKind::CrashLater:
        return "crashlater";
    case JournalKind::Filter:
        return "filter";
    case JournalKind::Box:
        return "box";
    case JournalKind::Block:
        return "block";
    case JournalKind::Thread:
        return "thread";
    case JournalKind::Timer:
        return "timer";
    case JournalKind::Overflow:
        return "overflow";
    case JournalKind::Detach:
        return "detach";
    case JournalKind::Lock:
        return "lock";
    }
    return "?";
}

} // namespace

std::string FormatJournalLine(const JournalEntry& entry) {
    std::string line = std::to_string(entry.enterUs);
    line += '\t';
    line += std::to_string(entry.exitUs);
    line += '\t';
    line += entry.object;
    line += '\t';
    line += entry.member;
    line += '\t';
    line += KindName(entry.kind);
    for (const std::string& arg : entry.args) {
        line += '\t';
        line += arg;
    }
    if (!entry.raised.empty()) {
        line += '\t';
        line += entry.raised;
    }
    line += '\n';
    return line;
}

std::string BstrArg(std::optional<std::u16string_view> text) {
    return text ? "BSTR:" + QuoteForJournal(*text) : "BSTR:null";
}

std::string BoolArg(std::int16_t raw) {
    return "BOOL:" + std::to_string(raw);
}

std::string I2Arg(std::int16_t value) {
    return "I2:" + std::to_string(value);
}

std::string I4Arg(std::int32_t value) {
    return "I4:" + std::to_string(value);
}

std::string DispatchArg(std::string_view identity) {
    return "DISPATCH:" + std::string(identity);
}

std::string EmptyArg() {
    return "EMPTY";
}

std::string OtherTypeArg(unsigned vartype) {
    return "VT" + std::to_string(vartype);
}

std::string ByRefArg(std::string_view referenced) {
    return "BYREF|" + std::string(referenced);
}

std::string SeenField(std::string_view key, std::string_view value) {
    std::string field(key);
    field += '=';
    field += value;
    return field;
}

std::string_view DpiAwarenessName(int awareness) {
    switch (awareness) {
    case 0:
        return "unaware";
    case 1:
        return "system";
    case 2:
        return "per-monitor";
    }
    return "invalid";
}

std::string SizeText(long width, long height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string HexCode(std::uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return text;
}

std::string RaisedDescription(std::u16string_view description) {
    return "raised:" + QuoteForJournal(description);
}

std::string RaisedHresult(std::uint32_t hresult) {
    return "raised:" + HexCode(hresult);
}

} // namespace brevanto::standin
