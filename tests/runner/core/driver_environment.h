#pragma once

#include <string>
#include <string_view>

namespace brevanto::runner {

// Whether a variable of the runner's environment is handed on to a driver. Left out are what
// would change what the tests do or see: the stand-ins' scenario and journal and every other
// BREVANTO_ variable (the runner sets its own), GoogleTest's GTEST_ options (the runner shards and
// filters), the compatibility layer Windows applies (__COMPAT_LAYER), and the symbol paths that
// would send dbghelp to a symbol server while a crash is being dumped.
bool HandedToDriver(std::string_view name);

// The variable the runner names a folder in where a driver leaves what a failing test should
// leave behind. The test support drops files there as a test runs (the stand-ins' journal, the
// check's output); at the test's end, before its end line, the driver's result listener moves them
// into <folder>\<TestFileName(test)> when the test failed and deletes them otherwise, so the next
// test's files never mix with them. The runner takes that folder into the test's evidence when it
// reads the end line, and what lies loose in the folder when the driver died during a test.
inline constexpr std::string_view kEvidenceDropVariable = "BREVANTO_EVIDENCE_DROP";

// The variable the runner names the build's link fixture in (link-fixture, a folder holding a
// link "linked" to its folder "target"), where the bundle it runs from has one. Wine makes no
// junction, but shows the Unix symbolic link the build made as one; a copy of the bundle cannot
// hold such a link, so the tests take the build's own.
inline constexpr std::string_view kLinkFixtureVariable = "BREVANTO_LINK_FIXTURE";

// A test's full name as a file or folder name: "Prefix-Suite.Name-Param".
std::string TestFileName(std::string_view test);

// The folder of a test's evidence: "x64-Prefix-Suite.Name-Param".
std::string EvidenceName(std::string_view arch, std::string_view test);

} // namespace brevanto::runner
