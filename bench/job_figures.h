#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/journal_reader.h"

namespace brevanto::bench {

// The report job as the stand-ins' journal shows it: from the user's creation (its enter stamp)
// to the return of Show_Results.
struct JobFigures {
    bool complete = false; // both ends are in the journal
    std::int64_t firstCallUs = 0;
    std::int64_t lastCallUs = 0;
    // Time inside the components between the two ends, a call made inside another counted once.
    std::int64_t componentsUs = 0;
    // Journal lines of those calls written before the last call's exit: each stand-in writes its
    // line after its exit stamp, so that writing counts in the own time.
    int journalWrites = 0;

    std::int64_t SpanUs() const { return lastCallUs - firstCallUs; }
    // What the caller spent between and around its calls: the job's own time.
    std::int64_t OwnUs() const { return SpanUs() - componentsUs; }
};

JobFigures MeasureJob(const std::vector<support::JournalCall>& journal);

// Every journal line without its stamps, in journal order: creations and releases, calls with
// their argument kinds and values, and raised errors.
std::vector<std::string> CallSequence(const std::vector<support::JournalCall>& journal);

// Empty when both sequences are the same; else the first difference, for a human.
std::string FirstDifference(const std::vector<std::string>& expected,
                            const std::vector<std::string>& actual);

} // namespace brevanto::bench
