#include "tests/e2e/check_run.h"

#include <windows.h>

#include <fstream>
#include <iterator>

#include "platform/program_directory.h"
#include "platform/unique_resource.h"
#include "platform/utf8.h"
#include "tests/support/child_process.h"
#include "tests/support/clock.h"
#include "tests/support/environment_variable.h"
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

CheckRun RunCheck(const std::wstring& arguments, const std::wstring& scenario, DWORD timeoutMs) {
    const support::JournalFile journal;
    const support::ScopedEnvironmentVariable plan(support::kScenarioVariable, scenario);
    // A new file each time: a service Wine starts for the child may inherit the handle and keep
    // the file open after the child has ended.
    static int runs = 0;
    const std::wstring outputPath = TempFolder() + L"\\brevanto-check-" +
                                    std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(++runs) + L".txt";
    CheckRun run;
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const UniqueFile output(CreateFileW(outputPath.c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!output) {
            ADD_FAILURE() << "cannot create " << Utf8(outputPath);
            return run;
        }
        const std::wstring exe = ProgramDirectory() + L"\\brevanto-check.exe";
        support::ChildProcess check(exe, L"\"" + exe + L"\"" + arguments, ProgramDirectory(),
                                    output.Get());
        if (!check.WaitForExit(timeoutMs)) {
            ADD_FAILURE() << "brevanto-check.exe did not end within " << timeoutMs << " ms";
            return run;
        }
        run.status = static_cast<int>(check.ExitStatus());
        run.ms = support::Ms(check.EndUs() - check.StartUs());
    }
    std::ifstream file(outputPath.c_str(), std::ios::binary);
    run.bytes.assign(std::istreambuf_iterator<char>(file), {});
    run.output = FromUtf8(run.bytes);
    file.close();
    DeleteFileW(outputPath.c_str());
    run.journal = journal.Read();
    return run;
}

std::wstring Row(const std::wstring& label, const std::wstring& value) {
    return L"  " + label + std::wstring(30 - label.size(), L' ') + value + L"\r\n";
}

void NewLabUser::SetUp() {
    ProgramTest::SetUp();
    support::StoreSampleSettings();
    StoreSetting(L"LogInData", L"Password", kPassword);
    StoreSetting(L"SaveDirectories", L"Convert", TempFolder());
}

} // namespace brevanto::e2e
