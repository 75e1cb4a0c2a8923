#include "tests/runner/core/ledger.h"

#include <algorithm>

namespace brevanto::runner {
namespace {

void Keep(std::string& output, std::string_view line) {
    if (output.size() >= kKeptOutputBytes)
        return;
    output.append(line.substr(0, kKeptOutputBytes - output.size()));
    output += '\n';
    if (output.size() >= kKeptOutputBytes)
        output += "... (the rest of this test's output is in the driver's log)\n";
}

} // namespace

Ledger::Ledger(const std::vector<std::string>& listed) {
    for (const std::string& name : listed)
        records_.push_back(NewTestRecord(name));
}

TestRecord& Ledger::Find(const std::string& name) {
    const auto found = std::find_if(records_.begin(), records_.end(),
                                    [&](const TestRecord& record) { return record.name == name; });
    if (found != records_.end())
        return *found;
    // A test the listing did not name still counts.
    records_.push_back(NewTestRecord(name));
    return records_.back();
}

void Ledger::TakeLine(std::string_view line) {
    const auto parsed = ParseResultLine(line);
    if (!parsed) {
        if (running_ >= 0)
            Keep(records_[static_cast<std::size_t>(running_)].output, line);
        return;
    }
    const bool known = std::any_of(records_.begin(), records_.end(), [&](const TestRecord& record) {
        return record.name == parsed->test;
    });
    switch (parsed->kind) {
    case LineKind::Start: {
        DriverEnded("it reported no end before the next test started");
        TestRecord& record = Find(parsed->test);
        record = NewTestRecord(parsed->test);
        record.started = true;
        running_ = &record - records_.data();
        break;
    }
    case LineKind::End: {
        TestRecord& record = Find(parsed->test);
        record.started = true;
        record.done = true;
        record.outcome = parsed->outcome;
        record.ms = parsed->ms;
        record.message = parsed->text;
        running_ = -1;
        break;
    }
    case LineKind::Allowance:
    case LineKind::WindowsOnly:
        if (!known) {
            unattributed_.push_back(std::string(line));
            break;
        }
        if (parsed->kind == LineKind::Allowance)
            Find(parsed->test).allowances.push_back(parsed->text);
        else
            Find(parsed->test).windowsOnly.push_back(parsed->text);
        break;
    }
}

void Ledger::DriverEnded(std::string_view why) {
    if (running_ < 0)
        return;
    TestRecord& record = records_[static_cast<std::size_t>(running_)];
    record.done = true;
    record.outcome = Outcome::Failed;
    record.message = std::string(why);
    running_ = -1;
}

void Ledger::FailRemaining(std::string_view why) {
    DriverEnded(why);
    for (TestRecord& record : records_) {
        if (record.done)
            continue;
        record.done = true;
        record.outcome = Outcome::Failed;
        record.message = std::string(why);
    }
}

std::vector<std::string> Ledger::Remaining() const {
    std::vector<std::string> remaining;
    for (const TestRecord& record : records_)
        if (!record.done && static_cast<std::ptrdiff_t>(&record - records_.data()) != running_)
            remaining.push_back(record.name);
    return remaining;
}

std::string Ledger::Running() const {
    return running_ < 0 ? std::string() : records_[static_cast<std::size_t>(running_)].name;
}

std::size_t Ledger::Ended() const {
    return static_cast<std::size_t>(std::count_if(
        records_.begin(), records_.end(), [](const TestRecord& record) { return record.done; }));
}

} // namespace brevanto::runner
