// brevanto-test-runner: runs Brevanto's Windows test drivers on this machine and reports every
// test. See the usage text (tests/runner/core/options.cpp) and "Testing on Windows" in
// docs/testing.md.
#include <windows.h>

#include <algorithm>
#include <ctime>

#include "platform/base/program_directory.h"
#include "platform/base/utf8.h"
#include "platform/base/windows_version.h"
#include "platform/security/accounts.h"
#include "tests/runner/console.h"
#include "tests/runner/core/allowance_list.h"
#include "tests/runner/core/driver_environment.h"
#include "tests/runner/core/junit.h"
#include "tests/runner/core/machine_guard.h"
#include "tests/runner/core/options.h"
#include "tests/runner/core/packages.h"
#include "tests/runner/core/summary.h"
#include "tests/runner/files.h"
#include "tests/runner/machine_facts.h"
#include "tests/runner/machine_look.h"
#include "tests/runner/registrations.h"
#include "tests/runner/run_copy.h"
#include "tests/runner/runner_error.h"
#include "tests/runner/suite_run.h"
#include "tests/runner/touched_places.h"

namespace brevanto::runner {
namespace {

constexpr int kNothingFailed = 0;
constexpr int kSomethingFailed = 1;
constexpr int kMachineHoldsRealData = 2;
constexpr int kRunnerCouldNotRun = 3;

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Variable(const wchar_t* name) {
    wchar_t value[256] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, std::size(value));
    return length && length < std::size(value) ? Utf8(value) : std::string();
}

std::wstring FullPath(const std::string& path) {
    const std::wstring wide = FromUtf8(path);
    std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length =
        GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    full.resize(length);
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    return full;
}

std::wstring Stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    wchar_t text[32];
    wcsftime(text, std::size(text), L"%Y%m%d-%H%M%S", &local);
    return text;
}

// The bundle: the runner's own folder, or, in a build tree, the folder above mingw-<arch>\bin.
std::wstring DefaultBundle() {
    const std::wstring here = ProgramDirectory();
    const auto holdsBuilds = [](const std::wstring& folder) {
        return Exists(folder + L"\\mingw-i686\\bin") || Exists(folder + L"\\mingw-x64\\bin");
    };
    if (holdsBuilds(here))
        return here;
    const std::wstring above = FullPath(Utf8(here + L"\\..\\.."));
    return holdsBuilds(above) ? above : here;
}

std::vector<std::string> PackageNames(const std::wstring& folder) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : FolderEntries(folder, L"Brevanto-*.msi"))
        names.push_back(Utf8(entry.name));
    return names;
}

// "Brevanto tests", which holds the copies: gone with the last of them (a run beside this one
// keeps it).
void RemoveEmptyParent(const std::wstring& copy) {
    RemoveDirectoryW(copy.substr(0, copy.find_last_of(L'\\')).c_str());
}

TestRecord RunnerFailure(const std::string& name, const std::string& why) {
    TestRecord record = NewTestRecord("Runner." + name);
    record.started = true;
    record.done = true;
    record.message = why;
    Say("failed   " + record.name + ": " + why);
    return record;
}

struct Plan {
    std::string arch;
    std::wstring bin;
    std::vector<std::wstring> drivers;
};

class TestRun {
public:
    TestRun(const Options& options, const std::vector<Fact>& facts, const RunPlace& place)
        : options_(options), facts_(facts), place_(place) {}

    int Run() {
        Prepare();
        if (!options_.driver.empty()) {
            RunPlan({options_.archs[0], L"", {FullPath(options_.driver)}});
        } else {
            ChangeTheMachine();
        }
        return Report();
    }

private:
    void Prepare() {
        bundle_ = options_.bundle.empty() ? DefaultBundle() : FullPath(options_.bundle);
        results_ = options_.results.empty() ? FullPath(".") + L"\\brevanto-test-results\\" + Stamp()
                                            : FullPath(options_.results);
        CreateFolders(results_);
        logs_ = results_ + L"\\logs";
        CreateFolders(logs_);
        evidence_ =
            options_.evidence.empty() ? results_ + L"\\evidence" : FullPath(options_.evidence);
        junit_ = options_.junit.empty() ? results_ + L"\\junit.xml" : FullPath(options_.junit);
        const std::wstring listPath = options_.allowances.empty()
                                          ? bundle_ + L"\\wine_allowances.txt"
                                          : FullPath(options_.allowances);
        if (const auto text = ReadWholeFile(listPath)) {
            allowances_ = ParseAllowanceList(*text);
            for (const std::string& error : allowances_.errors)
                runnerFailures_.push_back(
                    RunnerFailure("ReadsTheAllowanceList", Utf8(listPath) + ", " + error));
        } else if (place_.wine) {
            Say("No list of the allowances expected under Wine at " + Utf8(listPath) +
                ": every allowance taken counts as unlisted");
        }
        Say("Results    " + Utf8(results_));
    }

    std::vector<std::string> Archs() const {
        if (!options_.archs.empty())
            return options_.archs;
        std::vector<std::string> archs;
        if (Exists(bundle_ + L"\\mingw-i686\\bin\\brevanto_wine_tests.exe"))
            archs.push_back("i686");
        if (SystemIs64Bit() && Exists(bundle_ + L"\\mingw-x64\\bin\\brevanto_wine_tests.exe"))
            archs.push_back("x64");
        return archs;
    }

    bool Wants(const char* suite) const {
        return options_.suites.empty() || std::find(options_.suites.begin(), options_.suites.end(),
                                                    suite) != options_.suites.end();
    }

    void ChangeTheMachine() {
        const bool elevated = ProcessIsElevated();
        const std::wstring runName = Stamp() + L"-" + std::to_wstring(GetCurrentProcessId());
        const std::wstring copy = CopyFolderFor(elevated, runName);
        const std::wstring packages =
            options_.packages.empty() ? bundle_ + L"\\packages" : FullPath(options_.packages);
        // Everything the run will change is written down before it changes anything.
        SnapshotTouchedPlaces(state_);
        state_.copies.push_back(Utf8(copy));
        WriteRunState(results_, state_);
        Say("Copy       " + Utf8(copy));
        try {
            CopyBundle(bundle_, packages, copy, elevated);
            for (const std::string& arch : Archs()) {
                const std::wstring bin = copy + L"\\mingw-" + FromUtf8(arch) + L"\\bin";
                Plan plan{arch, bin, {}};
                if (Wants("wine"))
                    plan.drivers.push_back(bin + L"\\brevanto_wine_tests.exe");
                if (Wants("msi") && Exists(bin + L"\\brevanto_msi_tests.exe"))
                    plan.drivers.push_back(bin + L"\\brevanto_msi_tests.exe");
                if (plan.drivers.empty())
                    continue;
                const Registration registration =
                    RegisterStandins(arch, bin + L"\\BrevantoStandin.dll", elevated);
                state_.registrations.push_back(registration);
                WriteRunState(results_, state_);
                RunPlan(plan);
                if (!UnregisterStandins(registration))
                    runnerFailures_.push_back(RunnerFailure(
                        "UnregistersTheStandins", "regsvr32 /u failed for " + registration.dll));
            }
        } catch (const RunnerError& error) {
            runnerFailures_.push_back(RunnerFailure("RunsTheSuite", error.what()));
        }
        for (const std::string& failure : RestoreTouchedPlaces(state_))
            runnerFailures_.push_back(RunnerFailure("PutsBackWhatTheRunChanged", failure));
        if (!RemovePath(copy))
            runnerFailures_.push_back(
                RunnerFailure("RemovesItsCopy", "cannot remove " + Utf8(copy)));
        RemoveEmptyParent(copy);
        state_.restored = true;
        WriteRunState(results_, state_);
    }

    void RunPlan(const Plan& plan) {
        for (const std::wstring& driver : plan.drivers) {
            const std::wstring name = driver.substr(driver.find_last_of(L'\\') + 1);
            SuiteRun run;
            run.arch = plan.arch;
            run.driver = driver;
            run.filter = options_.filter;
            run.shardIndex = options_.shardIndex;
            run.shardCount = options_.shardCount;
            run.watchdogSeconds = options_.watchdogSeconds;
            run.logs = logs_;
            run.evidence = evidence_;
            run.drop = results_ + L"\\drop-" + FromUtf8(plan.arch);
            // Wine writes a program's trace to the Unix standard error it inherited, the runner's.
            if (!options_.wineTrace.empty())
                run.variables.emplace_back(L"BREVANTO_DRIVER_STDERR", FullPath(options_.wineTrace));
            const std::wstring fixture =
                bundle_ + L"\\mingw-" + FromUtf8(plan.arch) + L"\\bin\\link-fixture";
            if (Exists(fixture + L"\\linked"))
                run.variables.emplace_back(FromUtf8(kLinkFixtureVariable), fixture);
            if (name == L"brevanto_msi_tests.exe")
                AddPackages(plan, run);
            Say("Running    " + plan.arch + " " + Utf8(name));
            JunitSuite suite{plan.arch + " " + Utf8(name), plan.arch, Properties(), RunSuite(run)};
            suites_.push_back(std::move(suite));
        }
    }

    void AddPackages(const Plan& plan, SuiteRun& run) {
        const std::wstring packages = plan.bin + L"\\..\\..\\packages";
        const auto pair = OlderAndNewerPackages(PackageNames(packages));
        if (!pair)
            throw RunnerError("the package tests need two Brevanto-X.Y.Z.msi in " + Utf8(packages));
        run.msiOutput = results_ + L"\\msi";
        CreateFolders(run.msiOutput);
        run.variables.emplace_back(L"BREVANTO_OLDER_PACKAGE",
                                   FullPath(Utf8(packages + L"\\") + pair->first));
        run.variables.emplace_back(L"BREVANTO_NEWER_PACKAGE",
                                   FullPath(Utf8(packages + L"\\") + pair->second));
        run.variables.emplace_back(L"BREVANTO_MSI_OUTPUT", run.msiOutput);
    }

    int Report() {
        Properties properties;
        for (const Fact& fact : facts_)
            properties.emplace_back(fact.property, fact.value);
        properties.emplace_back("strict", options_.strict ? "yes" : "no");
        properties.emplace_back("shard", std::to_string(options_.shardIndex + 1) + "/" +
                                             std::to_string(options_.shardCount));
        std::vector<TestRecord> everything;
        std::vector<std::string> lines;
        for (JunitSuite& suite : suites_) {
            suite.properties = properties;
            AllowanceComparison comparison;
            if (place_.wine)
                comparison =
                    CompareAllowances(allowances_.entries, suite.arch, TakenAllowances(suite.tests),
                                      TestsThatRan(suite.tests));
            const auto refusals = Refusals(suite.tests, place_, comparison);
            if (options_.strict)
                CountAsFailed(suite.tests, refusals);
            Say("");
            Say("Summary of " + suite.name);
            for (const std::string& line :
                 SummaryLines(suite.tests, comparison, refusals, options_.strict))
                Say("  " + line);
            everything.insert(everything.end(), suite.tests.begin(), suite.tests.end());
        }
        if (!runnerFailures_.empty()) {
            suites_.push_back({"runner", "runner", properties, runnerFailures_});
            everything.insert(everything.end(), runnerFailures_.begin(), runnerFailures_.end());
        }
        try {
            WriteWholeFile(junit_, JunitXml(suites_));
            Say("JUnit      " + Utf8(junit_));
        } catch (const RunnerError& error) {
            Say(error.what());
            everything.push_back(RunnerFailure("WritesTheJunitReport", error.what()));
        }
        if (Exists(evidence_))
            Say("Evidence   " + Utf8(evidence_));
        const Counts counts = CountOf(everything);
        Say(LastLine(counts));
        return counts.failed == 0 ? kNothingFailed : kSomethingFailed;
    }

    const Options& options_;
    const std::vector<Fact>& facts_;
    const RunPlace place_;
    std::wstring bundle_;
    std::wstring results_;
    std::wstring logs_;
    std::wstring evidence_;
    std::wstring junit_;
    AllowanceList allowances_;
    RunState state_;
    std::vector<JunitSuite> suites_;
    std::vector<TestRecord> runnerFailures_;
};

int Restore(const std::wstring& runFolder) {
    RunState state = ReadRunState(runFolder);
    if (state.restored) {
        Say("The run in " + Utf8(runFolder) + " put everything back already.");
        return kNothingFailed;
    }
    int failures = 0;
    for (const Registration& registration : state.registrations)
        if (!UnregisterStandins(registration)) {
            Say("regsvr32 /u failed for " + registration.dll);
            ++failures;
        }
    for (const std::string& failure : RestoreTouchedPlaces(state)) {
        Say(failure);
        ++failures;
    }
    for (const std::string& copy : state.copies) {
        if (!RemovePath(FromUtf8(copy))) {
            Say("cannot remove " + copy);
            ++failures;
        }
        RemoveEmptyParent(FromUtf8(copy));
    }
    state.restored = failures == 0;
    WriteRunState(runFolder, state);
    Say(failures == 0 ? "Put back what the run changed." : "Could not put back everything.");
    return failures == 0 ? kNothingFailed : kSomethingFailed;
}

int Main(const Options& options) {
    if (!options.restore.empty())
        return Restore(FullPath(options.restore));
    // Wine starts its desktop process with the first program that needs it; started here, it is
    // the runner's, not a driver's, and outlives each driver's job.
    GetDesktopWindow();
    Say("Brevanto test runner");
    const std::vector<Fact> facts = ReadMachineFacts();
    for (const std::string& line : FactLines(facts))
        Say(line);
    const RunPlace place{RunsUnderWine(),
                         HostedRunner(Variable(L"GITHUB_ACTIONS"), Variable(L"RUNNER_ENVIRONMENT")),
                         ProcessIsElevated()};
    const std::vector<std::string> findings = options.driver.empty() || options.checkMachine
                                                  ? MachineFindings(LookAtMachine())
                                                  : std::vector<std::string>();
    if (findings.empty() && options.driver.empty())
        Say("Machine    nothing the suite would change holds real data");
    for (const std::string& finding : findings)
        Say("Found      " + finding);
    if (options.checkMachine)
        return findings.empty() ? kNothingFailed : kMachineHoldsRealData;
    if (!findings.empty()) {
        const std::string reason =
            GoAheadReason({place.wine, place.hosted, options.disposableMachine});
        if (reason.empty()) {
            Say("Refused: this machine holds real data (above), which the suite would change. "
                "Run the suite in Windows Sandbox or a throwaway machine, or give "
                "--disposable-machine if this one is one.");
            return kMachineHoldsRealData;
        }
        Say("Going ahead, as " + reason + ": what the suite changes is put back afterwards");
    }
    return TestRun(options, facts, place).Run();
}

} // namespace
} // namespace brevanto::runner

int wmain(int argc, wchar_t** argv) {
    using namespace brevanto::runner;
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(brevanto::Utf8(argv[i]));
    std::string error;
    const auto options = ParseOptions(arguments, error);
    if (!options || options->help) {
        if (!options)
            Say("brevanto-test-runner: " + error);
        Say(UsageText());
        return options ? kNothingFailed : kRunnerCouldNotRun;
    }
    try {
        return Main(*options);
    } catch (const std::exception& failure) {
        Say(std::string("brevanto-test-runner: ") + failure.what());
        return kRunnerCouldNotRun;
    }
}
