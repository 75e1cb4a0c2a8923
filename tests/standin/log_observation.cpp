#include "log_observation.h"

#include "host_window.h"
#include "journal.h"

#include <new>
#include <string>
#include <vector>

namespace brevanto::standin {
namespace {

// The launcher has one edit control, the multi-line log box.
HWND FindLogBox(HWND host) {
    HWND box = FindWindowExW(host, nullptr, L"Edit", nullptr);
    while (box && !(GetWindowLongPtrW(box, GWL_STYLE) & ES_MULTILINE))
        box = FindWindowExW(host, box, L"Edit", nullptr);
    return box;
}

std::size_t LineCount(const std::wstring& text) {
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find(L"\r\n", at)) != std::wstring::npos; at += 2)
        ++lines;
    return lines;
}

std::vector<std::string> ObserveLogBox() {
    const HWND host = FindHostWindow();
    const HWND box = host ? FindLogBox(host) : nullptr;
    if (!box)
        return {SeenField("log_lines", "none")};
    const bool redraw = (GetWindowLongPtrW(box, GWL_STYLE) & WS_VISIBLE) != 0;
    const bool pending = GetUpdateRect(box, nullptr, FALSE) != FALSE;
    // The edit sets its range to its line count less one; a text ending in CR LF has one more,
    // empty line.
    SCROLLINFO range{};
    range.cbSize = sizeof range;
    range.fMask = SIF_RANGE;
    const bool ranged = GetScrollInfo(box, SB_VERT, &range) != FALSE;
    return {SeenField("log_lines", std::to_string(LineCount(WindowText(box)))),
            SeenField("log_redraw", redraw ? "on" : "off"),
            SeenField("log_update", pending ? "pending" : "none"),
            SeenField("log_shown_lines", ranged ? std::to_string(range.nMax) : "none")};
}

} // namespace

void WriteLogObservation(std::string_view object, std::string_view member) noexcept {
    try {
        const std::int64_t enterUs = JournalClock();
        WriteSeenJournal(enterUs, object, member, ObserveLogBox());
    } catch (const std::bad_alloc&) {
        // The observation is lost; the call it belongs to goes on unchanged.
    }
}

} // namespace brevanto::standin
