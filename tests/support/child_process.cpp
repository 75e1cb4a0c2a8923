#include "tests/support/child_process.h"

#include "platform/base/utf8.h"
#include "tests/support/clock.h"
#include "tests/support/failure.h"

namespace brevanto::support {
namespace {

struct WindowSearch {
    DWORD processId;
    const std::wstring& windowClass;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[128] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    if (processId == search.processId && IsWindowVisible(window) && search.windowClass == className)
        search.found = window;
    return !search.found;
}

} // namespace

ChildProcess::ChildProcess(const std::wstring& application, const std::wstring& commandLine,
                           const std::wstring& folder, HANDLE standardOutput, HANDLE job) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (standardOutput) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = standardOutput;
    }
    PROCESS_INFORMATION info{};
    startUs_ = NowUs();
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr,
                        standardOutput != nullptr, job ? CREATE_SUSPENDED : 0, nullptr,
                        folder.c_str(), &startup, &info))
        Fail("cannot start " + Utf8(application), GetLastError());
    process_.Reset(info.hProcess);
    const UniqueHandle thread(info.hThread);
    id_ = info.dwProcessId;
    // In the job before any of its code runs, as a scheduler starts a task in one.
    if (job && (!AssignProcessToJobObject(job, process_.Get()) ||
                ResumeThread(thread.Get()) == static_cast<DWORD>(-1)))
        Fail("cannot start " + Utf8(application) + " in a job", GetLastError());
}

ChildProcess::~ChildProcess() {
    if (Running())
        Kill();
}

bool ChildProcess::Running() const {
    return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

HWND ChildProcess::WaitForWindow(const std::wstring& windowClass, DWORD timeoutMs) const {
    WindowSearch search{id_, windowClass, nullptr};
    const std::int64_t deadline = NowUs() + std::int64_t{timeoutMs} * 1000;
    for (; NowUs() < deadline && Running(); Sleep(1)) {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
    }
    return nullptr;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0)
        return false;
    endUs_ = NowUs();
    return true;
}

void ChildProcess::Kill() {
    TerminateProcess(process_.Get(), 99);
    WaitForExit(5000);
}

DWORD ChildProcess::ExitStatus() const {
    DWORD status = 0;
    GetExitCodeProcess(process_.Get(), &status);
    return status;
}

} // namespace brevanto::support
