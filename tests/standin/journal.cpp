#include "journal.h"

#include "environment.h"
#include "platform/unique_resource.h"

#include <windows.h>

#include <utility>

namespace brevanto::standin {
namespace {

// One open, one write, one close per line: appends from several processes interleave only
// between lines, and a client that crashes has lost nothing already recorded.
void AppendLine(const std::wstring& path, const std::string& line) {
    const UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

} // namespace

std::int64_t JournalClock() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    // Split so counter * 1e6 cannot overflow on a machine that has been up for weeks.
    const std::int64_t seconds = counter.QuadPart / frequency.QuadPart;
    const std::int64_t rest = counter.QuadPart % frequency.QuadPart;
    return seconds * 1000000 + rest * 1000000 / frequency.QuadPart;
}

void WriteJournal(const JournalEntry& entry) noexcept {
    try {
        // Looked up per line so a test driver can point it elsewhere between phases.
        const std::wstring path = EnvironmentValue(L"BREVANTO_STANDIN_JOURNAL");
        if (!path.empty())
            AppendLine(path, FormatJournalLine(entry));
    } catch (...) {
        // Out of memory: the line is lost, the call goes on.
    }
}

void WriteLifetimeJournal(ObjectKind kind, JournalKind event, std::int64_t enterUs) noexcept {
    JournalEntry entry;
    entry.enterUs = enterUs;
    entry.object = JournalName(kind);
    entry.member = "-";
    entry.kind = event;
    entry.exitUs = JournalClock();
    WriteJournal(entry);
}

void WriteEventJournal(JournalKind kind, std::string_view object, std::string_view member,
                       std::vector<std::string> fields) noexcept {
    JournalEntry entry;
    entry.object = object;
    entry.member = member;
    entry.kind = kind;
    entry.args = std::move(fields);
    entry.enterUs = entry.exitUs = JournalClock();
    WriteJournal(entry);
}

void WriteSeenJournal(std::int64_t enterUs, std::string_view object, std::string_view member,
                      std::vector<std::string> fields) noexcept {
    JournalEntry entry;
    entry.enterUs = enterUs;
    entry.object = object;
    entry.member = member;
    entry.kind = JournalKind::Seen;
    entry.args = std::move(fields);
    entry.exitUs = JournalClock();
    WriteJournal(entry);
}

} // namespace brevanto::standin
