#include "check/watched_creation.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/base/program_directory.h"
#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "platform/com/com_error.h"

namespace brevanto::check {
namespace {

// Room for every line a creation process writes, so that it never waits for the check to read.
constexpr DWORD kPipeBytes = 64 * 1024;
// More than any report; a component writing to the standard output is read but not kept.
constexpr std::size_t kMaxOutputBytes = 1024 * 1024;
// How often the pipes are emptied while the processes run.
constexpr DWORD kPollMs = 20;
// The exit status given to a process ended at the time limit; the check knows it ended it.
constexpr UINT kEndedAtLimit = 1;
// For an ended process to be gone, so that its last lines and exit status can be read.
constexpr DWORD kEndWaitMs = 5000;

// The attribute list that lets a new process inherit these handles and none of the check's others
// (the other creation processes' pipes above all: a process that held one would keep it open).
class InheritedHandles {
public:
    explicit InheritedHandles(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_.resize(size);
        const auto list = List();
        if (!size || !InitializeProcThreadAttributeList(list, 1, 0, &size))
            return;
        initialized_ = true;
        updated_ =
            UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                      handles_.size() * sizeof(HANDLE), nullptr, nullptr);
    }
    ~InheritedHandles() {
        if (initialized_)
            DeleteProcThreadAttributeList(List());
    }
    InheritedHandles(const InheritedHandles&) = delete;
    InheritedHandles& operator=(const InheritedHandles&) = delete;

    bool Ready() const { return updated_; }
    LPPROC_THREAD_ATTRIBUTE_LIST List() {
        return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
    }

private:
    std::vector<HANDLE> handles_; // read by CreateProcess, so kept until then
    std::vector<BYTE> storage_;
    bool initialized_ = false;
    bool updated_ = false;
};

// Whether the job the check runs in (Task Scheduler's, WinRM's), if any, lets a process it
// starts leave it.
bool MayBreakAwayFromJob() {
    BOOL inJob = FALSE;
    if (!IsProcessInJob(GetCurrentProcess(), nullptr, &inJob) || !inJob)
        return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    return QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &limits,
                                     sizeof limits, nullptr) &&
           (limits.BasicLimitInformation.LimitFlags & JOB_OBJECT_LIMIT_BREAKAWAY_OK);
}

RunError StartError(const std::wstring& progId) {
    return ComError(HRESULT_FROM_WIN32(GetLastError()),
                    L"Cannot start the process that creates \"" + progId + L"\"");
}

// One creation process, with the read end of its standard output. It is in a job that ends it
// when the job's handle is closed, so it cannot outlive the check, whatever ends the check.
class CreationProcess {
public:
    CreationProcess(const std::wstring& exe, const std::wstring& progId, HANDLE nul) {
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        if (!CreatePipe(&read, &write, nullptr, kPipeBytes))
            throw StartError(progId);
        output_.Reset(read);
        // Only the write end and NUL are inherited, and only by this process: the write end is
        // closed below, before the next process is started.
        const UniqueHandle childOutput(write);
        if (!SetHandleInformation(write, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT))
            throw StartError(progId);
        std::vector<HANDLE> inherited{write};
        if (nul)
            inherited.push_back(nul);
        InheritedHandles handles(std::move(inherited));
        if (!handles.Ready())
            throw StartError(progId);

        STARTUPINFOEXW startup{};
        startup.StartupInfo.cb = sizeof startup;
        startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdInput = nul;
        startup.StartupInfo.hStdOutput = write;
        startup.StartupInfo.hStdError = nul;
        startup.lpAttributeList = handles.List();
        const std::wstring commandLine = L"\"" + exe + L"\" --create-class " + progId;
        UniqueHandle thread;
        if (!Start(exe, commandLine, startup, 0, thread))
            throw StartError(progId);

        job_.Reset(CreateJobObjectW(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (job_ && !SetInformationJobObject(job_.Get(), JobObjectExtendedLimitInformation, &limits,
                                             sizeof limits))
            job_.Reset();
        // A check run by Task Scheduler or over WinRM is in a job already. Jobs nest from Windows
        // 8, and the process goes into the check's own job inside it. Where they do not (Windows
        // 7, a job with UI limits), it is started again outside the caller's job when that allows
        // it, before any of its code has run; else it stays there, and only the time limit, not
        // the check's end, ends it.
        if (job_ && !AssignProcessToJobObject(job_.Get(), process_.Get())) {
            if (MayBreakAwayFromJob()) {
                TerminateProcess(process_.Get(), kEndedAtLimit);
                if (!Start(exe, commandLine, startup, CREATE_BREAKAWAY_FROM_JOB, thread))
                    throw StartError(progId);
            }
            if (!AssignProcessToJobObject(job_.Get(), process_.Get()))
                job_.Reset();
        }
        if (ResumeThread(thread.Get()) == static_cast<DWORD>(-1)) {
            const DWORD error = GetLastError();
            TerminateProcess(process_.Get(), kEndedAtLimit);
            SetLastError(error);
            throw StartError(progId);
        }
    }
    ~CreationProcess() {
        // Closing the job ends it too; this is for a check that could not make the job.
        if (Running())
            TerminateProcess(process_.Get(), kEndedAtLimit);
    }
    CreationProcess(const CreationProcess&) = delete;
    CreationProcess& operator=(const CreationProcess&) = delete;

    HANDLE Process() const { return process_.Get(); }
    bool Running() const { return WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

    // Takes what the process has written so far, without waiting for more.
    void ReadAvailable() {
        for (;;) {
            DWORD available = 0;
            if (!PeekNamedPipe(output_.Get(), nullptr, 0, nullptr, &available, nullptr) ||
                available == 0)
                return;
            std::string chunk(available, '\0');
            DWORD read = 0;
            if (!ReadFile(output_.Get(), chunk.data(), available, &read, nullptr) || read == 0)
                return;
            if (bytes_.size() < kMaxOutputBytes)
                bytes_.append(chunk, 0, read);
        }
    }

    // Ends the process if it still runs, and gives what it wrote and how it ended.
    CreationRun Finish() {
        CreationRun run;
        if (Running()) {
            run.timedOut = true;
            // The job also ends any process the component started from this one.
            if (!job_ || !TerminateJobObject(job_.Get(), kEndedAtLimit))
                TerminateProcess(process_.Get(), kEndedAtLimit);
            WaitForSingleObject(process_.Get(), kEndWaitMs);
        }
        ReadAvailable();
        run.output = FromUtf8(bytes_);
        DWORD status = 0;
        GetExitCodeProcess(process_.Get(), &status);
        run.exitStatus = status;
        return run;
    }

private:
    // No console, as Brevanto.exe has none; suspended until it is in the job.
    bool Start(const std::wstring& exe, std::wstring commandLine, STARTUPINFOEXW& startup,
               DWORD flags, UniqueHandle& thread) {
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                            CREATE_SUSPENDED | DETACHED_PROCESS | EXTENDED_STARTUPINFO_PRESENT |
                                flags,
                            nullptr, nullptr, &startup.StartupInfo, &info))
            return false;
        process_.Reset(info.hProcess);
        thread.Reset(info.hThread);
        return true;
    }

    UniqueHandle job_;
    UniqueHandle process_;
    UniqueHandle output_;
    std::string bytes_;
};

} // namespace

std::vector<CreationRun> RunWatchedCreations(const std::vector<std::wstring>& progIds,
                                             unsigned timeLimitMs) {
    const ULONGLONG deadline = GetTickCount64() + timeLimitMs;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const UniqueFile nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::wstring exe = ProgramPath();
    std::vector<std::unique_ptr<CreationProcess>> processes;
    for (const std::wstring& progId : progIds)
        processes.push_back(
            std::make_unique<CreationProcess>(exe, progId, nul ? nul.Get() : nullptr));

    for (;;) {
        std::vector<HANDLE> running;
        for (const auto& process : processes) {
            process->ReadAvailable();
            if (process->Running())
                running.push_back(process->Process());
        }
        const ULONGLONG now = GetTickCount64();
        if (running.empty() || now >= deadline)
            break;
        const DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(kPollMs, deadline - now));
        WaitForMultipleObjects(static_cast<DWORD>(running.size()), running.data(), FALSE, wait);
    }

    std::vector<CreationRun> runs;
    for (const auto& process : processes)
        runs.push_back(process->Finish());
    return runs;
}

} // namespace brevanto::check
