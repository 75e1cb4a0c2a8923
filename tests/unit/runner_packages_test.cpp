#include <gtest/gtest.h>

#include "tests/runner/core/packages.h"

namespace brevanto::runner {
namespace {

TEST(RunnerPackages, TheOlderAndTheNewerAreTheLowestAndHighestVersion) {
    struct Case {
        const char* name;
        std::vector<std::string> files;
        const char* pair; // "older newer", or "" for none
    };
    const Case cases[] = {
        {"two",
         {"Brevanto-8.0.35.msi", "Brevanto-8.0.34.msi"},
         "Brevanto-8.0.34.msi Brevanto-8.0.35.msi"},
        {"by number, not text",
         {"Brevanto-8.0.9.msi", "Brevanto-8.0.10.msi"},
         "Brevanto-8.0.9.msi Brevanto-8.0.10.msi"},
        {"others ignored",
         {"Brevanto-8.0.34.msi", "x.msi", "Brevanto-8.0.msi", "Brevanto-8.0.35.msi"},
         "Brevanto-8.0.34.msi Brevanto-8.0.35.msi"},
        {"one", {"Brevanto-8.0.34.msi"}, ""},
        {"the same version twice", {"Brevanto-8.0.34.msi", "Brevanto-08.0.34.msi"}, ""},
        {"none", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto pair = OlderAndNewerPackages(c.files);
        EXPECT_EQ(pair ? pair->first + " " + pair->second : std::string(), c.pair);
    }
}

} // namespace
} // namespace brevanto::runner
