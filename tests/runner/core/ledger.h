#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/runner/core/result_line.h"

namespace brevanto::runner {

// What became of one test, from a driver's lines and from what the runner saw of the driver.
struct TestRecord {
    std::string name;
    bool started = false;
    bool done = false;
    Outcome outcome = Outcome::Failed;
    long long ms = 0;
    // A skip's "<category>: <why>", or why the runner counted the test failed.
    std::string message;
    std::vector<std::string> allowances;  // each WineOnly allowance taken, as its why
    std::vector<std::string> windowsOnly; // each check only Windows can make
    std::string output;                   // what the driver wrote while the test ran
};

// A record of a test that has not started.
inline TestRecord NewTestRecord(std::string name) {
    TestRecord record;
    record.name = std::move(name);
    return record;
}

// The accounts of one suite's tests across the driver runs it takes: a test that started and never
// ended fails with what ended its driver, and one that never reported is left for the next run.
class Ledger {
public:
    explicit Ledger(const std::vector<std::string>& listed);

    // One line of a driver's output, protocol line or not.
    void TakeLine(std::string_view line);
    // The driver has ended, or was ended: the test it was running fails with why.
    void DriverEnded(std::string_view why);
    // Fails every test still to run with why: the driver will not be started again.
    void FailRemaining(std::string_view why);

    // The listed tests that have not ended, in the listed order.
    std::vector<std::string> Remaining() const;
    // The test that started and has not ended; empty when none.
    std::string Running() const;
    // Tests ended so far, counted by the runner or by the driver.
    std::size_t Ended() const;

    const std::vector<TestRecord>& Records() const { return records_; }
    // Allowances and Windows-only checks reported outside any test (a global set-up's).
    const std::vector<std::string>& UnattributedLines() const { return unattributed_; }

private:
    TestRecord& Find(const std::string& name);

    std::vector<TestRecord> records_;
    std::vector<std::string> unattributed_;
    std::ptrdiff_t running_ = -1;
};

// A test's output is kept up to this many bytes: enough for GoogleTest's messages and a journal.
inline constexpr std::size_t kKeptOutputBytes = 256 * 1024;

} // namespace brevanto::runner
