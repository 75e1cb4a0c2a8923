#include "tests/e2e/check_run.h"

#include <windows.h>

#include "platform/base/program_directory.h"
#include "platform/base/utf8.h"
#include "platform/security/accounts.h"
#include "tests/support/captured_run.h"
#include "tests/support/clock.h"
#include "tests/support/environment_variable.h"
#include "tests/support/evidence_drop.h"
#include "tests/support/journal_file.h"
#include "tests/support/standin_library.h"

namespace brevanto::e2e {

std::wstring TempFolder() {
    wchar_t path[MAX_PATH];
    std::wstring folder(path, GetTempPathW(MAX_PATH, path));
    if (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

CheckRun RunCheck(const std::wstring& arguments, const std::wstring& scenario, DWORD timeoutMs,
                  HANDLE job) {
    const support::JournalFile journal;
    const support::ScopedEnvironmentVariable plan(support::kScenarioVariable, scenario);
    const std::wstring exe = ProgramDirectory() + L"\\brevanto-check.exe";
    CheckRun run;
    const auto captured = support::RunCapturingOutput(exe, L"\"" + exe + L"\"" + arguments,
                                                      ProgramDirectory(), timeoutMs, job);
    if (!captured) {
        ADD_FAILURE() << "brevanto-check.exe did not end within " << timeoutMs << " ms";
        return run;
    }
    run.status = static_cast<int>(captured->status);
    run.ms = captured->ms;
    run.bytes = captured->output;
    support::DropEvidence(L"check-output", run.bytes);
    run.output = FromUtf8(run.bytes);
    run.journal = journal.Read();
    return run;
}

std::wstring Row(const std::wstring& label, const std::wstring& value) {
    return L"  " + label + std::wstring(30 - label.size(), L' ') + value + L"\r\n";
}

std::string WhyTheReportCannotBeExpected() {
    if (ProcessIsElevated())
        return "";
    return "the check's report is expected of stand-ins registered for the machine, run from a "
           "folder only administrators can change: an elevated run";
}

std::wstring Shown(const std::wstring& path) {
    std::wstring shown;
    for (const wchar_t c : path)
        shown += c == L'\\' ? std::wstring(L"\\\\") : std::wstring(1, c);
    return shown;
}

void NewLabUser::SetUp() {
    if (const std::string why = WhyTheReportCannotBeExpected(); !why.empty())
        BREVANTO_SKIP(runner::kNeedsElevationSkip, why);
    ProgramTest::SetUp();
    support::StoreSampleSettings();
    StoreSetting(L"LogInData", L"Password", kPassword);
    StoreSetting(L"SaveDirectories", L"Convert", TempFolder());
}

} // namespace brevanto::e2e
