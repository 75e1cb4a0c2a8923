#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/program_test.h"

namespace brevanto::e2e {

inline const std::wstring kPassword = L"Pw-S3cret!";

// The temporary folder, without a trailing backslash.
std::wstring TempFolder();

struct CheckRun {
    int status = -1;
    std::string bytes;   // its standard output as written
    std::wstring output; // the same, decoded from UTF-8
    std::vector<JournalCall> journal;
    double ms = 0; // from its start to its end
};

// Runs brevanto-check.exe beside the driver as an administrator would (in the job, when one is
// given, as a scheduler would), its output to a file; a check still running after timeoutMs is a
// failure, and is ended.
CheckRun RunCheck(const std::wstring& arguments = L"", const std::wstring& scenario = L"",
                  DWORD timeoutMs = 30000, HANDLE job = nullptr);

// A report row as the check writes it, of a label and a value as the report shows them.
std::wstring Row(const std::wstring& label, const std::wstring& value);

// Why a check's report cannot be what the tests expect here; empty when it can. They expect the
// stand-ins registered for the machine and a program folder only administrators can change,
// which only an elevated run has: one that is not registers them for the user and runs from the
// user's own folder, and the check rightly reports both.
std::string WhyTheReportCannotBeExpected();

// A path only known at run time as the text report shows it: each backslash doubled, for in the
// report every backslash starts an escape.
std::wstring Shown(const std::wstring& path);

// A workstation as a new lab user's is set up, with an export folder that exists. Skipped, as
// needing elevation, where the report cannot be expected.
class NewLabUser : public ProgramTest {
protected:
    void SetUp() override;
};

} // namespace brevanto::e2e
