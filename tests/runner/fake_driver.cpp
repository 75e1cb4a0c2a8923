// A stand-in for a test driver, for the runner's self-test: it lists its tests as GoogleTest does
// and runs those --gtest_filter names, each doing what its name says, writing the result lines a
// real driver writes (tests/conformance/), or not.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/runner/core/driver_environment.h"
#include "tests/runner/core/test_list.h"

namespace {

void Line(const std::string& text) {
    std::fputs((text + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void Start(const std::string& test) {
    Line("[ RUN      ] " + test);
    Line("@brevanto-test start " + test);
}

void End(const std::string& test, const std::string& rest) {
    Line("@brevanto-test end " + test + " " + rest);
}

// Leaves a file where the runner collects a failing test's evidence, as a real driver's result
// listener files it (tests/runner/core/driver_environment.h).
void Drop(const wchar_t* name, const char* text) {
    wchar_t folder[MAX_PATH] = {};
    const std::wstring variable = brevanto::FromUtf8(brevanto::runner::kEvidenceDropVariable);
    if (!GetEnvironmentVariableW(variable.c_str(), folder, MAX_PATH))
        return;
    const std::wstring filed = std::wstring(folder) + L"\\Fake.Fails";
    CreateDirectoryW(filed.c_str(), nullptr);
    const brevanto::UniqueFile file(CreateFileW((filed + L"\\" + name).c_str(), GENERIC_WRITE, 0,
                                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.Get(), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

struct FakeTest {
    const char* name;
    void (*run)(const std::string& test);
};

const FakeTest kTests[] = {
    {"Passes", [](const std::string& test) { End(test, "passed 1"); }},
    {"Fails",
     [](const std::string& test) {
         Line("fake_driver.cpp:1: Failure");
         Line("Expected: 1, actual: 2");
         Drop(L"journal-failed.txt", "a failing test's journal");
         End(test, "failed 2");
     }},
    {"SkipsWithACategory",
     [](const std::string& test) {
         End(test, "skipped 0 not-applicable: the fake has nothing to apply");
     }},
    {"SkipsWithoutACategory",
     [](const std::string& test) { End(test, "skipped 0 skipped for no stated reason"); }},
    {"TakesAListedAllowance",
     [](const std::string& test) {
         Line("@brevanto-test allowance " + test + " the fake's listed allowance");
         End(test, "passed 1");
     }},
    {"TakesAnUnlistedAllowance",
     [](const std::string& test) {
         Line("@brevanto-test allowance " + test + " an allowance nobody listed");
         End(test, "passed 1");
     }},
    {"Crashes", [](const std::string&) { *static_cast<volatile int*>(nullptr) = 1; }},
    {"PassesAfterTheCrash", [](const std::string& test) { End(test, "passed 1"); }},
    {"Hangs",
     [](const std::string&) {
         for (;;)
             Sleep(INFINITE);
     }},
    {"PassesAfterTheHang", [](const std::string& test) { End(test, "passed 1"); }},
    {"EndsTheDriverWhileRunning", [](const std::string&) { ExitProcess(3); }},
    {"PassesAfterTheEnd", [](const std::string& test) { End(test, "passed 1"); }},
};

// Listed, but the driver ends before it when it comes to it, without a line.
constexpr char kNeverReports[] = "NeverReports";

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::string filter = "*";
    for (int i = 1; i < argc; ++i) {
        const std::string argument = brevanto::Utf8(argv[i]);
        if (argument == "--gtest_list_tests") {
            Line("Fake.");
            for (const FakeTest& test : kTests)
                Line(std::string("  ") + test.name);
            Line(std::string("  ") + kNeverReports);
            return 0;
        }
        if (argument.starts_with("--gtest_filter="))
            filter = argument.substr(std::string_view("--gtest_filter=").size());
    }
    for (const FakeTest& test : kTests) {
        const std::string name = std::string("Fake.") + test.name;
        if (!brevanto::runner::MatchesFilter(name, filter))
            continue;
        Start(name);
        test.run(name);
    }
    return 0;
}
