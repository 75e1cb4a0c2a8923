#include "tests/runner/core/options.h"

#include <charconv>
#include <string_view>

namespace brevanto::runner {
namespace {

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// "a,b" into its words, each one of the allowed.
std::optional<std::vector<std::string>> Words(std::string_view text,
                                              std::initializer_list<std::string_view> allowed) {
    std::vector<std::string> words;
    for (;;) {
        const auto comma = text.find(',');
        const std::string_view word = text.substr(0, comma);
        bool known = false;
        for (const std::string_view name : allowed)
            known = known || word == name;
        if (!known)
            return std::nullopt;
        if (word != "all")
            words.emplace_back(word);
        if (comma == std::string_view::npos)
            return words;
        text.remove_prefix(comma + 1);
    }
}

} // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= arguments.size()) {
                error = option + " needs a value";
                return std::nullopt;
            }
            return arguments[++i];
        };
        const auto invalid = [&](const std::string& what) {
            error = option + ": " + what;
            return std::nullopt;
        };
        if (option == "--strict") {
            options.strict = true;
        } else if (option == "--disposable-machine") {
            options.disposableMachine = true;
        } else if (option == "--check-machine") {
            options.checkMachine = true;
        } else if (option == "--help" || option == "-h" || option == "/?") {
            options.help = true;
        } else if (option == "--restore" || option == "--results" || option == "--junit" ||
                   option == "--evidence" || option == "--allowances" || option == "--bundle" ||
                   option == "--packages" || option == "--filter" || option == "--driver" ||
                   option == "--wine-trace") {
            const auto text = value();
            if (!text)
                return std::nullopt;
            if (text->empty())
                return invalid("an empty value");
            std::string& target = option == "--restore"      ? options.restore
                                  : option == "--results"    ? options.results
                                  : option == "--junit"      ? options.junit
                                  : option == "--evidence"   ? options.evidence
                                  : option == "--allowances" ? options.allowances
                                  : option == "--bundle"     ? options.bundle
                                  : option == "--packages"   ? options.packages
                                  : option == "--driver"     ? options.driver
                                  : option == "--wine-trace" ? options.wineTrace
                                                             : options.filter;
            target = *text;
        } else if (option == "--arch" || option == "--suite") {
            const auto text = value();
            if (!text)
                return std::nullopt;
            const bool arch = option == "--arch";
            const auto words =
                arch ? Words(*text, {"i686", "x64", "all"}) : Words(*text, {"wine", "msi", "all"});
            if (!words)
                return invalid(arch ? "i686, x64 or all" : "wine, msi or all");
            (arch ? options.archs : options.suites) = *words;
        } else if (option == "--shard") {
            const auto text = value();
            if (!text)
                return std::nullopt;
            const auto slash = text->find('/');
            const auto k = slash == std::string::npos
                               ? std::nullopt
                               : Number(std::string_view(*text).substr(0, slash));
            const auto n = slash == std::string::npos
                               ? std::nullopt
                               : Number(std::string_view(*text).substr(slash + 1));
            if (!k || !n || *n < 1 || *k < 1 || *k > *n)
                return invalid("K/N, with K from 1 to N");
            options.shardIndex = *k - 1;
            options.shardCount = *n;
        } else if (option == "--watchdog") {
            const auto text = value();
            if (!text)
                return std::nullopt;
            const auto seconds = Number(*text);
            if (!seconds || *seconds < 1)
                return invalid("a number of seconds, at least 1");
            options.watchdogSeconds = *seconds;
        } else {
            error = "unknown option " + option;
            return std::nullopt;
        }
    }
    if (options.checkMachine && !options.restore.empty()) {
        error = "--check-machine and --restore go alone";
        return std::nullopt;
    }
    if (!options.driver.empty() && options.archs.size() != 1) {
        error = "--driver needs the --arch of its build";
        return std::nullopt;
    }
    return options;
}

std::string UsageText() {
    return R"(usage: brevanto-test-runner [options]
Runs Brevanto's Windows test drivers (mingw-i686\bin and mingw-x64\bin beside it) and reports
every test. Run it only in Windows Sandbox, a throwaway VM or a hosted CI runner: it changes the
machine (see README-windows.txt) and puts back what it changed.

  --strict              fail on a skip with no category or one not allowed here, and under Wine on
                        an allowance the list of allowances expected under Wine does not hold
  --check-machine       only look for real data the suite would change (exit 2 when found)
  --disposable-machine  go ahead on a machine with such data (it is snapshotted and put back;
                        an installed Brevanto is removed by the package tests)
  --restore RUNDIR      put back what the run in RUNDIR changed, after a runner that died
  --arch i686|x64|all   the builds to test (default: each this system runs)
  --suite wine|msi|all  the drivers to run (default: both; the package tests are i686 only)
  --shard K/N           run the K-th of N parts of each driver's tests (K from 1)
  --filter PATTERN      a GoogleTest filter for the tests to run
  --watchdog SECONDS    a test with no result within this time fails, and its driver is started
                        again with the tests that remain (default 300)
  --results DIR         the run's folder: state, logs, JUnit, evidence
                        (default: brevanto-test-results\<time> in the current folder)
  --junit FILE          where the JUnit report goes (default: DIR\junit.xml)
  --evidence DIR        where each failing test's evidence goes (default: DIR\evidence)
  --allowances FILE     the allowances expected under Wine (default: wine_allowances.txt here)
  --bundle DIR          the folder holding mingw-i686 and mingw-x64 (default: the runner's)
  --packages DIR        the two Brevanto-X.Y.Z.msi packages (default: packages in the bundle)
  --wine-trace FILE     under Wine, the file this runner's standard error goes to (2>FILE): Wine
                        writes the programs' traces there, which some tests read
  --driver FILE         run this one driver of --arch's build where it is: no copy, no
                        registration, nothing snapshotted

Exit status: 0 when nothing failed, 1 when a test failed, 2 when the machine holds real data
(or --check-machine found some), 3 when the runner itself could not run.
The last line is "N passed, N failed, N skipped".
)";
}

} // namespace brevanto::runner
