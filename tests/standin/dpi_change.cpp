#include "dpi_change.h"

#include "dpi_awareness.h"
#include "host_window.h"
#include "journal.h"
#include "platform/base/unique_resource.h"

#include <new>
#include <string>
#include <vector>

namespace brevanto::standin {
namespace {

struct FontWatch {
    HWND host;
    unsigned checks = 0;
    bool dead = false;
};

// A hook procedure gets no context of its own; the watch of this thread is found here.
thread_local FontWatch* t_watch = nullptr;

class WatchingFonts {
public:
    explicit WatchingFonts(FontWatch& watch) : outer_(t_watch) { t_watch = &watch; }
    WatchingFonts(const WatchingFonts&) = delete;
    WatchingFonts& operator=(const WatchingFonts&) = delete;
    ~WatchingFonts() { t_watch = outer_; }

private:
    FontWatch* outer_;
};

BOOL CALLBACK CheckChildFont(HWND child, LPARAM context) {
    auto& watch = *reinterpret_cast<FontWatch*>(context);
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0));
    if (font && GetObjectType(font) == 0)
        watch.dead = true;
    return TRUE;
}

// Runs before the window procedure: what the controls hold then is what they would paint with.
LRESULT CALLBACK WatchSetFont(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && t_watch) {
        const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (sent.message == WM_SETFONT) {
            ++t_watch->checks;
            EnumChildWindows(t_watch->host, &CheckChildFont, reinterpret_cast<LPARAM>(t_watch));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The suggested rectangle is where the window is now, so only its DPI changes.
void SendDpiChanged(HWND host, UINT dpi) {
    RECT bounds{};
    GetWindowRect(host, &bounds);
    const auto both = static_cast<WORD>(dpi);
    SendMessageW(host, WM_DPICHANGED, MAKEWPARAM(both, both), reinterpret_cast<LPARAM>(&bounds));
}

std::string ButtonSize(HWND host) {
    const HWND button = FindPushButton(host, L"Test");
    RECT client{};
    if (!button || !GetClientRect(button, &client))
        return "none";
    return SizeText(client.right - client.left, client.bottom - client.top);
}

// Sends the change with the hook in place; false, and nothing sent, when it cannot hook.
bool ChangeWhileWatching(FontWatch& watch, UINT dpi) {
    const WatchingFonts watching(watch);
    const UniqueHook hook(
        SetWindowsHookExW(WH_CALLWNDPROC, &WatchSetFont, nullptr, GetCurrentThreadId()));
    if (!hook)
        return false;
    SendDpiChanged(watch.host, dpi);
    return true;
}

// Tells the window its old DPI again when the scope ends, however it ends.
class DpiRestore {
public:
    DpiRestore(HWND host, UINT dpi) : host_(host), dpi_(dpi) {}
    DpiRestore(const DpiRestore&) = delete;
    DpiRestore& operator=(const DpiRestore&) = delete;
    ~DpiRestore() { SendDpiChanged(host_, dpi_); }

private:
    HWND host_;
    UINT dpi_;
};

} // namespace

void ChangeHostDpi(std::string_view object, std::string_view member, UINT dpi) noexcept {
    try {
        const std::int64_t enterUs = JournalClock();
        const HWND host = FindHostWindow();
        if (!host) {
            WriteSeenJournal(enterUs, object, member, {SeenField("fonts", "none")});
            return;
        }
        const UINT oldDpi = WindowDpi(host);
        FontWatch watch{host};
        if (!ChangeWhileWatching(watch, dpi)) {
            WriteSeenJournal(enterUs, object, member, {SeenField("fonts", "n/a")});
            return;
        }
        const DpiRestore restore(host, oldDpi);
        WriteSeenJournal(enterUs, object, member,
                         {SeenField("fonts", watch.dead ? "dead" : "live"),
                          SeenField("font_checks", std::to_string(watch.checks)),
                          SeenField("test_button", ButtonSize(host))});
    } catch (const std::bad_alloc&) {
        // The line is lost; the call it belongs to goes on unchanged.
    }
}

} // namespace brevanto::standin
