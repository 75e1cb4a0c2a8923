#pragma once

#include "journal_line.h"
#include "object_kind.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevanto::standin {

// Microseconds on the performance counter, comparable across processes on one machine.
std::int64_t JournalClock();

// Appends the entry to the file named by BREVANTO_STANDIN_JOURNAL, if that is set. Never
// throws: a component call must not fail because its journal could not be written.
void WriteJournal(const JournalEntry& entry) noexcept;

// Records that an object came into being or went away, which took from enterUs until now.
void WriteLifetimeJournal(ObjectKind kind, JournalKind event, std::int64_t enterUs) noexcept;

// Records what a call observed from enterUs until now, one SeenField each.
void WriteSeenJournal(std::int64_t enterUs, std::string_view object, std::string_view member,
                      std::vector<std::string> fields) noexcept;

// Records that something happens now, a fault about to act or the DLL's detach: enter and exit
// are both this moment. One SeenField each.
void WriteEventJournal(JournalKind kind, std::string_view object, std::string_view member,
                       std::vector<std::string> fields) noexcept;

} // namespace brevanto::standin
