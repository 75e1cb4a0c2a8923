#include "tests/support/captured_run.h"

#include <atomic>
#include <fstream>
#include <iterator>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/support/child_process.h"
#include "tests/support/clock.h"
#include "tests/support/failure.h"

namespace brevanto::support {
namespace {

// A new file each time: a service Wine starts for the child may inherit the handle and keep the
// file open after the child has ended.
std::wstring NewOutputPath() {
    static std::atomic<int> runs{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"brevanto-output-" + std::to_wstring(GetCurrentProcessId()) +
           L"-" + std::to_wstring(++runs) + L".txt";
}

} // namespace

std::optional<CapturedRun> RunCapturingOutput(const std::wstring& application,
                                              const std::wstring& commandLine,
                                              const std::wstring& folder, DWORD timeoutMs,
                                              HANDLE job) {
    const std::wstring path = NewOutputPath();
    CapturedRun run;
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const UniqueFile output(CreateFileW(path.c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!output)
            Fail("cannot create " + Utf8(path), GetLastError());
        ChildProcess child(application, commandLine, folder, output.Get(), job);
        if (!child.WaitForExit(timeoutMs))
            return std::nullopt;
        run.status = child.ExitStatus();
        run.ms = Ms(child.EndUs() - child.StartUs());
    }
    std::ifstream file(path.c_str(), std::ios::binary);
    run.output.assign(std::istreambuf_iterator<char>(file), {});
    file.close();
    DeleteFileW(path.c_str());
    return run;
}

} // namespace brevanto::support
