#include "tests/e2e/unattended_watch.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "platform/unique_resource.h"
#include "tests/support/process_list.h"

namespace brevanto::e2e {
namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kDebuggerImage[] = L"winedbg.exe";
constexpr DWORD kLookEveryMs = 5;

struct DialogSearch {
    DWORD processId;
    bool found = false;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<DialogSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[16] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    search.found = processId == search.processId && std::wstring(className) == kDialogClass;
    return !search.found;
}

std::vector<DWORD> DebuggerIds() {
    std::vector<DWORD> ids;
    for (const auto& process : support::ProcessesNamed(kDebuggerImage))
        ids.push_back(process.id);
    return ids;
}

} // namespace

UnattendedWatch::UnattendedWatch(DWORD processId)
    : processId_(processId), debuggersBefore_(DebuggerIds()), thread_([this] { Watch(); }) {}

UnattendedWatch::~UnattendedWatch() {
    Stop();
}

void UnattendedWatch::Stop() {
    if (!thread_.joinable())
        return;
    stopping_ = true;
    thread_.join();
    std::lock_guard hold(mutex_);
    for (const DWORD id : debuggers_) {
        const UniqueHandle debugger(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (debugger && TerminateProcess(debugger.Get(), 99))
            WaitForSingleObject(debugger.Get(), 5000);
    }
}

std::size_t UnattendedWatch::DebuggersStarted() const {
    std::lock_guard hold(mutex_);
    return debuggers_.size();
}

std::string UnattendedWatch::Problem() const {
    std::lock_guard hold(mutex_);
    return problem_;
}

void UnattendedWatch::Look() {
    DialogSearch search{processId_};
    EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found)
        dialogSeen_ = true;
    const std::vector<DWORD> running = DebuggerIds();
    std::lock_guard hold(mutex_);
    for (const DWORD id : running) {
        const bool old = std::find(debuggersBefore_.begin(), debuggersBefore_.end(), id) !=
                         debuggersBefore_.end();
        if (!old && std::find(debuggers_.begin(), debuggers_.end(), id) == debuggers_.end())
            debuggers_.push_back(id);
    }
}

void UnattendedWatch::Watch() {
    try {
        // A last look after the stop: a dialog may have come up since the one before.
        do {
            Look();
            Sleep(kLookEveryMs);
        } while (!stopping_);
        Look();
    } catch (const std::exception& error) {
        std::lock_guard hold(mutex_);
        problem_ = error.what();
    }
}

} // namespace brevanto::e2e
