#include "bench/child_process.h"

#include <psapi.h>

#include <algorithm>

#include "bench/clock.h"
#include "bench/unique_handle.h"

namespace brevanto::bench {
namespace {

// Often enough to see the private bytes just before the end; rare enough not to load the
// wineserver, which answers each reading from /proc.
constexpr DWORD kMemoryPollMs = 5;

struct WindowSearch {
    DWORD processId;
    const std::wstring* windowClass;
    bool found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window))
        return TRUE;
    wchar_t className[128] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    if (*search->windowClass != className)
        return TRUE;
    search->found = true;
    return FALSE;
}

bool WindowShown(DWORD processId, const std::wstring& windowClass) {
    WindowSearch search{processId, &windowClass, false};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void ReadMemory(HANDLE query, Observed& observed) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(query, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return; // not up yet, or already gone
    observed.peakWorkingSet =
        std::max<std::uint64_t>(observed.peakWorkingSet, counters.PeakWorkingSetSize);
    // Wine leaves PrivateUsage 0 for another process. PagefileUsage is the same figure on Windows
    // (the private bytes committed), and Wine fills it with the process's private memory.
    const std::uint64_t privateBytes =
        counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    observed.peakPrivate = std::max<std::uint64_t>(observed.peakPrivate, privateBytes);
}

} // namespace

Observed RunAndWatch(const Launch& launch) {
    Observed observed;
    std::wstring commandLine = launch.commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    observed.startUs = NowUs();
    if (!CreateProcessW(launch.application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, launch.directory.c_str(), &startup, &info)) {
        observed.startError = GetLastError();
        return observed;
    }
    observed.started = true;
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    const UniqueHandle query(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, info.dwProcessId));
    const std::int64_t deadline = observed.startUs + std::int64_t{launch.timeoutMs} * 1000;

    if (!launch.windowClass.empty()) {
        // Nothing else runs in the driver until the window is there, so start-up is not slowed.
        while (NowUs() < deadline && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
            if (WindowShown(info.dwProcessId, launch.windowClass)) {
                observed.shownUs = NowUs();
                break;
            }
            Sleep(1);
        }
    }
    for (;;) {
        if (WaitForSingleObject(process.Get(), kMemoryPollMs) != WAIT_TIMEOUT) {
            observed.endUs = NowUs();
            break;
        }
        ReadMemory(query.Get(), observed);
        if (NowUs() >= deadline) {
            observed.timedOut = true;
            TerminateProcess(process.Get(), 99);
            WaitForSingleObject(process.Get(), 5000);
            observed.endUs = NowUs();
            break;
        }
    }
    GetExitCodeProcess(process.Get(), &observed.exitStatus);
    return observed;
}

} // namespace brevanto::bench
