#include <gtest/gtest.h>

#include "tests/runner/core/options.h"

namespace brevanto::runner {
namespace {

// The options that differ from the defaults, or the error.
std::string Shown(const std::vector<std::string>& arguments) {
    std::string error;
    const auto options = ParseOptions(arguments, error);
    if (!options)
        return "error: " + error;
    std::string shown;
    const auto add = [&](const std::string& text) { shown += (shown.empty() ? "" : " ") + text; };
    if (options->strict)
        add("strict");
    if (options->disposableMachine)
        add("disposable");
    if (options->checkMachine)
        add("check");
    if (options->help)
        add("help");
    for (const std::string& arch : options->archs)
        add("arch=" + arch);
    for (const std::string& suite : options->suites)
        add("suite=" + suite);
    if (options->shardCount != 1)
        add("shard=" + std::to_string(options->shardIndex) + "of" +
            std::to_string(options->shardCount));
    if (options->watchdogSeconds != 300)
        add("watchdog=" + std::to_string(options->watchdogSeconds));
    for (const auto& [name, value] : {std::pair{"restore", options->restore},
                                      {"results", options->results},
                                      {"junit", options->junit},
                                      {"evidence", options->evidence},
                                      {"allowances", options->allowances},
                                      {"bundle", options->bundle},
                                      {"packages", options->packages},
                                      {"filter", options->filter},
                                      {"driver", options->driver},
                                      {"wine-trace", options->wineTrace}})
        if (!value.empty())
            add(std::string(name) + "=" + value);
    return shown;
}

TEST(RunnerOptions, AreReadAsTheUsageSaysOrRefusedWithWhy) {
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        const char* shown;
    };
    const Case cases[] = {
        {"none", {}, ""},
        {"switches", {"--strict", "--disposable-machine"}, "strict disposable"},
        {"check", {"--check-machine"}, "check"},
        {"help", {"/?"}, "help"},
        {"arch and suite",
         {"--arch", "x64", "--suite", "wine,msi"},
         "arch=x64 suite=wine suite=msi"},
        {"all means the default", {"--arch", "all"}, ""},
        {"shard", {"--shard", "2/3"}, "shard=1of3"},
        {"watchdog", {"--watchdog", "5"}, "watchdog=5"},
        {"folders",
         {"--results", "R", "--junit", "J", "--evidence", "E", "--bundle", "B"},
         "results=R junit=J evidence=E bundle=B"},
        {"restore", {"--restore", "C:\\r"}, "restore=C:\\r"},
        {"wine trace", {"--wine-trace", "Z:\\t.log"}, "wine-trace=Z:\\t.log"},
        {"driver", {"--driver", "fake.exe", "--arch", "x64"}, "arch=x64 driver=fake.exe"},
        {"unknown", {"--fast"}, "error: unknown option --fast"},
        {"missing value", {"--results"}, "error: --results needs a value"},
        {"empty value", {"--junit", ""}, "error: --junit: an empty value"},
        {"bad arch", {"--arch", "arm64"}, "error: --arch: i686, x64 or all"},
        {"bad suite", {"--suite", "unit"}, "error: --suite: wine, msi or all"},
        {"shard 0", {"--shard", "0/3"}, "error: --shard: K/N, with K from 1 to N"},
        {"shard past the end", {"--shard", "4/3"}, "error: --shard: K/N, with K from 1 to N"},
        {"shard without slash", {"--shard", "3"}, "error: --shard: K/N, with K from 1 to N"},
        {"watchdog 0", {"--watchdog", "0"}, "error: --watchdog: a number of seconds, at least 1"},
        {"check and restore",
         {"--check-machine", "--restore", "R"},
         "error: --check-machine and --restore go alone"},
        {"driver without its arch",
         {"--driver", "fake.exe"},
         "error: --driver needs the --arch of its build"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Shown(c.arguments), c.shown);
    }
}

} // namespace
} // namespace brevanto::runner
