#include "started_thread.h"

#include "dpi_awareness.h"
#include "journal.h"
#include "module.h"
#include "platform/base/unique_resource.h"

#include <windows.h>

#include <new>
#include <string_view>

namespace brevanto::standin {
namespace {

struct ThreadFindings {
    std::string_view threadDpi = "n/a";
    std::string_view windowDpi = "none";
};

DWORD WINAPI ObserveOwnWorld(void* parameter) {
    auto& findings = *static_cast<ThreadFindings*>(parameter);
    findings.threadDpi = ThreadDpiAwareness();
    // Hidden and unowned, so it waits for nobody and is gone before the thread ends.
    const UniqueWindow window(CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 100, 40, nullptr,
                                              nullptr, ThisModule(), nullptr));
    if (window)
        findings.windowDpi = WindowDpiAwareness(window.Get());
    return 0;
}

} // namespace

void ObserveStartedThread(std::string_view object, std::string_view member) noexcept {
    try {
        const std::int64_t enterUs = JournalClock();
        ThreadFindings findings;
        const UniqueHandle thread(
            CreateThread(nullptr, 0, &ObserveOwnWorld, &findings, 0, nullptr));
        if (!thread) {
            WriteEventJournal(JournalKind::Thread, object, member, {SeenField("thread", "none")});
            return;
        }
        WaitForSingleObject(thread.Get(), INFINITE);
        JournalEntry entry{.enterUs = enterUs,
                           .exitUs = JournalClock(),
                           .object = object,
                           .member = member,
                           .kind = JournalKind::Thread,
                           .args = {SeenField("thread_dpi", findings.threadDpi),
                                    SeenField("window_dpi", findings.windowDpi)}};
        WriteJournal(entry);
    } catch (const std::bad_alloc&) {
        // The line is lost; the call it belongs to goes on unchanged.
    }
}

} // namespace brevanto::standin
