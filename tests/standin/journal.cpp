#include "journal.h"

#include "environment.h"
#include "platform/base/unique_resource.h"

#include <windows.h>

#include <utility>

namespace brevanto::standin {
namespace {

// Longer than any one line's append takes; a writer stopped while it held the lock never makes
// a component's call wait for good, at worst its line may race another.
constexpr DWORD kLockWaitMs = 2000;

// Held across one line's append, by every thread of every process of the session. Wine computes
// an append's offset before it writes, so two appends at once can land on the same offset and
// one line overwrites the other; Windows appends atomically.
class JournalLock {
public:
    JournalLock() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\BrevantoStandinJournal")) {
        // WAIT_ABANDONED: a writer was ended while it held the lock; it is ours now all the same.
        const DWORD waited = mutex_ ? WaitForSingleObject(mutex_.Get(), kLockWaitMs) : WAIT_FAILED;
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~JournalLock() {
        if (held_)
            ReleaseMutex(mutex_.Get());
    }
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

private:
    UniqueHandle mutex_;
    bool held_ = false;
};

// One open, one write, one close per line, under the lock: lines from several processes
// interleave only whole, and a client that crashes has lost nothing already recorded.
void AppendLine(const std::wstring& path, const std::string& line) {
    const JournalLock lock;
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
