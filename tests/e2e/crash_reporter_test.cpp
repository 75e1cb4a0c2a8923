#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>

#include "platform/base/program_directory.h"
#include "tests/support/captured_run.h"

namespace brevanto::e2e {
namespace {

std::string Hex(DWORD code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

struct ReporterFailure {
    const char* name;
    const wchar_t* argument;
};

void PrintTo(const ReporterFailure& failure, std::ostream* out) {
    *out << failure.name;
}

const ReporterFailure kFailures[] = {
    {"Faults", L"fault"},
    {"Throws", L"throw"},
};

class CrashReporterThat : public testing::TestWithParam<ReporterFailure> {};

// Whatever happens in the crash reporter, the scheduler sees the crash it reported: the status is
// the first crash's code, never one of the reporter's own.
TEST_P(CrashReporterThat, LeavesTheFirstCrashsCodeAsTheExitStatus) {
    const std::wstring probe = ProgramDirectory() + L"\\brevanto_crash_probe.exe";
    const auto run = support::RunCapturingOutput(
        probe, L"\"" + probe + L"\" " + GetParam().argument, ProgramDirectory(), 15000);
    ASSERT_TRUE(run) << "the probe did not end within 15 s";
    EXPECT_EQ(run->output, "reporter ran\n");
    EXPECT_EQ(Hex(run->status), "0xE0000042");
    EXPECT_LE(run->ms, 500.0 + 5000.0 + 700.0);
}

INSTANTIATE_TEST_SUITE_P(Crash, CrashReporterThat, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace brevanto::e2e
