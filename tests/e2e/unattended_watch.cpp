#include "tests/e2e/unattended_watch.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "platform/base/file_paths.h"
#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "platform/registry/registry_value.h"
#include "tests/conformance/conformance.h"
#include "tests/support/debugger_command_line.h"
#include "tests/support/process_list.h"

namespace brevanto::e2e {
namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kErrorReporting[] = L"WerFault.exe";
constexpr wchar_t kAeDebug[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
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

// The images of the post-mortem debuggers AeDebug names, in both registry views: a 32-bit and a
// 64-bit process each start the one of their own view.
std::vector<std::wstring> PostMortemDebuggers() {
    std::vector<std::wstring> images;
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        const auto debugger = TryReadRegistryText(HKEY_LOCAL_MACHINE, kAeDebug, L"Debugger",
                                                  Expansion::Expanded, view);
        const std::wstring image = support::DebuggerImage(debugger.value_or(L""));
        if (!image.empty() && std::none_of(images.begin(), images.end(), [&](const auto& known) {
                return SamePath(known, image);
            }))
            images.push_back(image);
    }
    return images;
}

std::vector<DWORD> ProcessIds(const std::vector<std::wstring>& images) {
    std::vector<DWORD> ids;
    for (const std::wstring& image : images)
        for (const auto& process : support::ProcessesNamed(image))
            ids.push_back(process.id);
    return ids;
}

bool Contains(const std::vector<DWORD>& ids, DWORD id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

} // namespace

UnattendedWatch::UnattendedWatch(DWORD processId)
    : processId_(processId), debuggerImages_(PostMortemDebuggers()) {
    std::vector<std::wstring> watched = debuggerImages_;
    watched.push_back(kErrorReporting);
    debuggersBefore_ = ProcessIds(watched);
    // Wine's prefix names its crash handler there; without it nothing would be watched for.
    if (conformance::RunningUnderWine() && debuggerImages_.empty())
        problem_ = "AeDebug names no debugger, though Wine's prefix names winedbg";
    thread_ = std::thread([this] { Watch(); });
}

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

std::string UnattendedWatch::DebuggersSeen() const {
    std::lock_guard hold(mutex_);
    std::string seen;
    for (const DWORD id : debuggers_)
        seen += "process " + std::to_string(id) + ": " +
                Utf8(support::ProcessCommandLine(id).value_or(L"(ended)")) + "\n";
    return seen;
}

std::string UnattendedWatch::Problem() const {
    std::lock_guard hold(mutex_);
    return problem_;
}

// The debuggers started since the watch began for this process: any new process of AeDebug's
// debugger (its command line names the process in a form of the debugger's own), and Windows
// Error Reporting started with this process's id.
std::vector<DWORD> UnattendedWatch::StartedDebuggers() const {
    std::vector<DWORD> started;
    for (const DWORD id : ProcessIds(debuggerImages_))
        if (!Contains(debuggersBefore_, id))
            started.push_back(id);
    for (const auto& process : support::ProcessesNamed(kErrorReporting)) {
        if (Contains(debuggersBefore_, process.id))
            continue;
        const auto commandLine = support::ProcessCommandLine(process.id);
        // One that cannot be told apart counts: a pass must not rest on what was not read.
        if (!commandLine || support::ReportsOnProcess(*commandLine, processId_))
            started.push_back(process.id);
    }
    return started;
}

void UnattendedWatch::Look() {
    DialogSearch search{processId_};
    EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found)
        dialogSeen_ = true;
    const std::vector<DWORD> started = StartedDebuggers();
    std::lock_guard hold(mutex_);
    for (const DWORD id : started)
        if (!Contains(debuggers_, id))
            debuggers_.push_back(id);
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
