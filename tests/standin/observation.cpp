#include "observation.h"

#include "dpi_awareness.h"
#include "host_window.h"
#include "journal.h"
#include "module.h"
#include "platform/base/system_function.h"
#include "platform/base/unique_resource.h"

#include <commctrl.h>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace brevanto::standin {
namespace {

constexpr std::string_view kNone = "none";

using GetDepPolicyFunction = BOOL(WINAPI*)(HANDLE, LPDWORD, PBOOL);
using GetErrorModeFunction = UINT(WINAPI*)();

// Made on the calling thread, so it takes that thread's DPI awareness and activation context
// just as a component's own windows would.
HWND CreateProbeWindow() {
    return CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 100, 40, nullptr, nullptr,
                           ThisModule(), nullptr);
}

HWND CreateProbeButton(HWND parent) {
    return CreateWindowExW(0, L"Button", L"Probe", WS_CHILD | BS_PUSHBUTTON, 0, 0, 80, 24, parent,
                           nullptr, ThisModule(), nullptr);
}

// Only the common controls' version 6 button knows BCM_GETIDEALSIZE; the classic button leaves
// it to DefWindowProc, which answers 0.
std::string_view ButtonGeneration(HWND button) {
    SIZE ideal{};
    const LRESULT answer =
        SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    return answer == TRUE ? "v6" : "classic";
}

std::string DepPolicy() {
    // Windows answers for 32-bit processes only; Wine answers for 64-bit ones too.
    const auto getPolicy =
        SystemFunction<GetDepPolicyFunction>(L"kernel32.dll", "GetProcessDEPPolicy");
    DWORD flags = 0;
    BOOL permanent = FALSE;
    if (!getPolicy || !getPolicy(GetCurrentProcess(), &flags, &permanent))
        return "n/a";
    return std::to_string(flags);
}

// The process's error mode, which a process this component started would inherit.
std::string ErrorMode() {
    const auto getMode = SystemFunction<GetErrorModeFunction>(L"kernel32.dll", "GetErrorMode");
    if (!getMode)
        return "n/a";
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", getMode());
    return text;
}

std::vector<std::string> ObserveHost() {
    std::vector<std::string> fields;
    fields.push_back(SeenField("thread_dpi", ThreadDpiAwareness()));

    const UniqueWindow probe(CreateProbeWindow());
    fields.push_back(SeenField("window_dpi", probe ? WindowDpiAwareness(probe.Get()) : kNone));
    // Destroyed with its parent.
    const HWND button = probe ? CreateProbeButton(probe.Get()) : nullptr;
    fields.push_back(SeenField("button", button ? ButtonGeneration(button) : kNone));

    const HWND host = FindHostWindow();
    const HWND hostButton = host ? FindPushButton(host, L"Test") : nullptr;
    fields.push_back(SeenField("host_button", hostButton ? ButtonGeneration(hostButton) : kNone));
    fields.push_back(SeenField("host_window_dpi", host ? WindowDpiAwareness(host) : kNone));
    fields.push_back(SeenField("dep", DepPolicy()));
    fields.push_back(SeenField("error_mode", ErrorMode()));
    return fields;
}

} // namespace

void WriteObservation(std::string_view object, std::string_view member) noexcept {
    try {
        const std::int64_t enterUs = JournalClock();
        WriteSeenJournal(enterUs, object, member, ObserveHost());
    } catch (const std::bad_alloc&) {
        // The observation is lost; the call it belongs to goes on unchanged.
    }
}

void WriteObservation(std::string_view object, std::string_view member, JournalKind kind) noexcept {
    try {
        WriteEventJournal(kind, object, member, ObserveHost());
    } catch (const std::bad_alloc&) {
        // The observation is lost; what it belongs to goes on unchanged.
    }
}

} // namespace brevanto::standin
