#include "tests/runner/driver_run.h"

#include <algorithm>
#include <cstdio>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/runner/core/driver_environment.h"
#include "tests/runner/runner_error.h"

namespace brevanto::runner {
namespace {

// The runner's environment without what HandedToDriver leaves out, with the start's variables, as
// a sorted block (CreateProcess expects one, case-insensitively sorted).
std::wstring EnvironmentBlock(const std::vector<std::pair<std::wstring, std::wstring>>& added) {
    std::vector<std::wstring> entries;
    if (wchar_t* const block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
            const std::wstring text = entry;
            // "=C:=C:\..." entries (each drive's current folder) start with their equals sign.
            const auto equals = text.find(L'=', 1);
            const std::wstring name = text.substr(0, equals);
            const bool replaced =
                std::any_of(added.begin(), added.end(), [&](const auto& variable) {
                    return CompareStringOrdinal(variable.first.c_str(), -1, name.c_str(), -1,
                                                TRUE) == CSTR_EQUAL;
                });
            if (!replaced && HandedToDriver(Utf8(name)))
                entries.push_back(text);
        }
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : added)
        entries.push_back(name + L"=" + value);
    std::sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    std::wstring block;
    for (const std::wstring& entry : entries)
        block += entry + L'\0';
    block += L'\0';
    return block;
}

UniqueFile AppendingTo(const std::wstring& path) {
    return UniqueFile(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

struct Reading {
    HANDLE pipe;
    HANDLE log;
    const std::function<void(std::string_view)>& onLine;
};

// Reads the pipe to its end, handing on each line (without its line break) and logging every
// byte. No exception leaves it: it is a thread's procedure.
DWORD WINAPI ReadLines(void* context) noexcept {
    const Reading& reading = *static_cast<const Reading*>(context);
    const HANDLE pipe = reading.pipe;
    const HANDLE log = reading.log;
    const auto& onLine = reading.onLine;
    try {
        std::string pending;
        char buffer[16 * 1024];
        DWORD read = 0;
        while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            DWORD written = 0;
            if (log)
                WriteFile(log, buffer, read, &written, nullptr);
            pending.append(buffer, read);
            std::size_t start = 0;
            for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos;
                 start = end + 1) {
                std::string_view line(pending.data() + start, end - start);
                if (line.ends_with('\r'))
                    line.remove_suffix(1);
                onLine(line);
            }
            pending.erase(0, start);
        }
        if (!pending.empty())
            onLine(pending);
    } catch (...) {
        // The rest of the output is lost; the driver's end still counts what never reported.
    }
    return 0;
}

} // namespace

std::string DriverEnd::Describe() const {
    if (watchdog)
        return "the runner ended the driver: no result within the watchdog's time";
    char text[64];
    std::snprintf(text, sizeof text, "the driver ended with status %lu (0x%08lX)",
                  static_cast<unsigned long>(status), static_cast<unsigned long>(status));
    return text;
}

DriverEnd RunDriver(const DriverStart& start, const std::function<void(std::string_view)>& onLine,
                    const std::function<bool()>& stalled) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 64 * 1024))
        ThrowRunnerError("cannot make the driver's output pipe", GetLastError());
    const UniqueHandle output(readEnd);
    UniqueHandle childOutput(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const UniqueFile nul(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inheritable, OPEN_EXISTING, 0, nullptr));
    const UniqueFile log = AppendingTo(start.log);

    // What a hosted runner or Task Scheduler allows: processes may leave the job when they ask
    // to, as the workstation check's creation processes do for a job of their own.
    UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
    if (job && !SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                        sizeof limits))
        job.Reset();

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.Get();
    startup.hStdOutput = childOutput.Get();
    startup.hStdError = childOutput.Get();
    std::wstring commandLine = L"\"" + start.program + L"\" " + start.arguments;
    std::wstring environment = EnvironmentBlock(start.variables);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(start.program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT | CREATE_DEFAULT_ERROR_MODE,
                        environment.data(), start.folder.c_str(), &startup, &info))
        ThrowRunnerError("cannot start " + Utf8(start.program), GetLastError());
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    childOutput.Reset();
    if (job && !AssignProcessToJobObject(job.Get(), process.Get()))
        job.Reset();
    ResumeThread(thread.Get());

    Reading reading{output.Get(), log.Get(), onLine};
    const UniqueHandle reader(CreateThread(nullptr, 0, ReadLines, &reading, 0, nullptr));
    if (!reader) {
        TerminateProcess(process.Get(), 1);
        ThrowRunnerError("cannot read the driver's output", GetLastError());
    }
    DriverEnd end;
    while (WaitForSingleObject(process.Get(), 200) == WAIT_TIMEOUT) {
        if (stalled()) {
            end.watchdog = true;
            break;
        }
    }
    // Whatever the driver left running (a program under test, a hung child) goes with it.
    if (job)
        TerminateJobObject(job.Get(), 1);
    if (end.watchdog)
        TerminateProcess(process.Get(), 1);
    WaitForSingleObject(process.Get(), 30000);
    GetExitCodeProcess(process.Get(), &end.status);
    // A process that left the job may still hold the pipe's write end; the rest of its output
    // is not waited for long.
    job.Reset();
    if (WaitForSingleObject(reader.Get(), 10000) == WAIT_TIMEOUT) {
        CancelSynchronousIo(reader.Get());
        // Its context ends with this call: the thread may not outlive it.
        if (WaitForSingleObject(reader.Get(), 5000) == WAIT_TIMEOUT)
            TerminateThread(reader.Get(), 1);
    }
    return end;
}

} // namespace brevanto::runner
