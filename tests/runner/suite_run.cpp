#include "tests/runner/suite_run.h"

#include <windows.h>

#include <chrono>
#include <mutex>

#include "platform/base/utf8.h"
#include "tests/runner/console.h"
#include "tests/runner/core/driver_environment.h"
#include "tests/runner/core/test_list.h"
#include "tests/runner/driver_run.h"
#include "tests/runner/files.h"
#include "tests/runner/runner_error.h"

namespace brevanto::runner {
namespace {

using Clock = std::chrono::steady_clock;

std::wstring FileNameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

// Moves what lies in from (files only) into to, or deletes it when to is empty.
void MoveFiles(const std::wstring& from, const std::wstring& to) {
    for (const FolderEntry& entry : FolderEntries(from, L"*")) {
        if (entry.folder)
            continue;
        const std::wstring file = from + L"\\" + entry.name;
        if (to.empty() || !MoveFileExW(file.c_str(), (to + L"\\" + entry.name).c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
            DeleteFileW(file.c_str());
    }
}

// The package tests name their msiexec logs after the test, '/' written as '-'.
void CopyInstallerLogs(const std::wstring& msiOutput, const std::string& test,
                       const std::wstring& evidence) {
    std::wstring prefix = FromUtf8(test);
    for (wchar_t& c : prefix)
        if (c == L'/')
            c = L'-';
    for (const FolderEntry& entry : FolderEntries(msiOutput, prefix + L"-*.log"))
        CopyFileW((msiOutput + L"\\" + entry.name).c_str(), (evidence + L"\\" + entry.name).c_str(),
                  FALSE);
}

class SuiteAccounts {
public:
    SuiteAccounts(const SuiteRun& run, const std::vector<std::string>& tests)
        : run_(run), ledger_(tests) {}

    void TakeLine(std::string_view line) {
        const std::lock_guard lock(lock_);
        const auto parsed = ParseResultLine(line);
        ledger_.TakeLine(line);
        if (!parsed || (parsed->kind != LineKind::Start && parsed->kind != LineKind::End))
            return;
        lastResult_ = Clock::now();
        if (parsed->kind == LineKind::End)
            Ended(parsed->test);
    }

    bool Stalled() {
        const std::lock_guard lock(lock_);
        return Clock::now() - lastResult_ > std::chrono::seconds(run_.watchdogSeconds);
    }

    void Started() {
        const std::lock_guard lock(lock_);
        lastResult_ = Clock::now();
    }

    // The driver ended: what it was running failed, and whether this start brought a result.
    bool DriverEnded(const DriverEnd& end, std::size_t endedBefore) {
        const std::lock_guard lock(lock_);
        const std::string running = ledger_.Running();
        if (end.watchdog)
            ledger_.DriverEnded("no result within " + std::to_string(run_.watchdogSeconds) +
                                " s: the runner ended the driver and everything it started");
        else
            ledger_.DriverEnded(end.Describe() + " while this test ran");
        if (!running.empty())
            Ended(running, true);
        // What a driver that ended between tests left loose belongs to no test.
        MoveFiles(run_.drop, L"");
        return ledger_.Ended() > endedBefore;
    }

    void FailRemaining(const std::string& why) {
        const std::lock_guard lock(lock_);
        const auto remaining = ledger_.Remaining();
        ledger_.FailRemaining(why);
        for (const std::string& test : remaining)
            Say("failed   " + run_.arch + " " + test + ": " + why);
    }

    std::vector<std::string> Remaining() const {
        const std::lock_guard lock(lock_);
        return ledger_.Remaining();
    }
    std::size_t EndedCount() const {
        const std::lock_guard lock(lock_);
        return ledger_.Ended();
    }
    std::vector<TestRecord> Records() const {
        const std::lock_guard lock(lock_);
        return ledger_.Records();
    }

private:
    void Ended(const std::string& test, bool driverDied = false) {
        for (const TestRecord& record : ledger_.Records()) {
            if (record.name != test)
                continue;
            Say(std::string(OutcomeWord(record.outcome)) +
                std::string(8 - OutcomeWord(record.outcome).size(), ' ') + " " + run_.arch + " " +
                test + " (" + std::to_string(record.ms) + " ms)" +
                (record.outcome == Outcome::Passed ? "" : ": " + record.message));
            KeepEvidence(record, driverDied);
        }
    }

    // The driver's listener filed what a failed test dropped in a folder of the test's own
    // (driver_environment.h); what lies loose is the running test's when its driver died.
    void KeepEvidence(const TestRecord& record, bool driverDied) {
        const std::wstring filed = run_.drop + L"\\" + FromUtf8(TestFileName(record.name));
        if (record.outcome != Outcome::Failed) {
            RemovePath(filed);
            return;
        }
        const std::wstring folder =
            run_.evidence + L"\\" + FromUtf8(EvidenceName(run_.arch, record.name));
        try {
            CreateFolders(folder);
            WriteWholeFile(folder + L"\\output.txt", record.message + "\n\n" + record.output);
        } catch (const RunnerError& error) {
            Say(std::string("cannot keep the evidence: ") + error.what());
            return;
        }
        MoveFiles(filed, folder);
        RemovePath(filed);
        if (driverDied)
            MoveFiles(run_.drop, folder);
        if (!run_.msiOutput.empty())
            CopyInstallerLogs(run_.msiOutput, record.name, folder);
    }

    const SuiteRun& run_;
    mutable std::mutex lock_;
    Ledger ledger_;
    Clock::time_point lastResult_ = Clock::now();
};

std::vector<std::string> ListTests(const SuiteRun& run, DriverStart start) {
    start.arguments = L"--gtest_list_tests";
    start.log =
        run.logs + L"\\" + FromUtf8(run.arch) + L"-" + FileNameOf(run.driver) + L"-list.log";
    std::string listing;
    const auto begun = Clock::now();
    const DriverEnd end = RunDriver(
        start, [&](std::string_view line) { listing.append(line).append("\n"); },
        [&] { return Clock::now() - begun > std::chrono::seconds(run.watchdogSeconds); });
    if (end.watchdog || end.status != 0)
        throw RunnerError(Utf8(run.driver) + " could not list its tests: " + end.Describe());
    return ParseTestList(listing);
}

} // namespace

std::vector<TestRecord> RunSuite(const SuiteRun& run) {
    DriverStart start;
    start.program = run.driver;
    start.folder = FolderOf(run.driver);
    start.variables = run.variables;
    start.variables.emplace_back(FromUtf8(kEvidenceDropVariable), run.drop);
    RemovePath(run.drop);
    CreateFolders(run.drop);

    std::vector<std::string> all;
    try {
        all = ListTests(run, start);
    } catch (const RunnerError& error) {
        // A driver that cannot list its tests counts as one failure, never as none.
        TestRecord failure = NewTestRecord(Utf8(FileNameOf(run.driver)) + ".ListsItsTests");
        failure.done = true;
        failure.message = error.what();
        Say("failed   " + run.arch + " " + failure.name + ": " + failure.message);
        return {failure};
    }
    std::vector<std::string> selected;
    for (const std::string& test : all)
        if (run.filter.empty() || MatchesFilter(test, run.filter))
            selected.push_back(test);
    SuiteAccounts accounts(run, ShardOf(selected, run.shardIndex, run.shardCount));

    for (int attempt = 1;; ++attempt) {
        const std::vector<std::string> remaining = accounts.Remaining();
        if (remaining.empty())
            break;
        if (attempt > 1)
            Say("starting " + Utf8(FileNameOf(run.driver)) + " again with the " +
                std::to_string(remaining.size()) + " tests that remain");
        start.arguments = L"--gtest_color=no --gtest_filter=" + FromUtf8(FilterFor(remaining, all));
        start.log = run.logs + L"\\" + FromUtf8(run.arch) + L"-" + FileNameOf(run.driver) + L"-" +
                    std::to_wstring(attempt) + L".log";
        const std::size_t endedBefore = accounts.EndedCount();
        accounts.Started();
        const DriverEnd end = RunDriver(
            start, [&](std::string_view line) { accounts.TakeLine(line); },
            [&] { return accounts.Stalled(); });
        if (!accounts.DriverEnded(end, endedBefore)) {
            accounts.FailRemaining("never reported a result: " + end.Describe());
            break;
        }
    }
    return accounts.Records();
}

} // namespace brevanto::runner
