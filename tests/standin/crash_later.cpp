#include "crash_later.h"

#include "crash.h"
#include "exclusive_lock.h"
#include "journal.h"
#include "module.h"
#include "platform/base/unique_resource.h"

#include <list>
#include <new>
#include <string>

namespace brevanto::standin {
namespace {

constexpr wchar_t kWindowClass[] = L"BrevantoStandinTimerWindow";
constexpr UINT_PTR kTimerId = 1;

struct LaterCrash {
    std::string_view object;
    std::string_view member;
};

// One entry per window made; each window points at its own, which never moves or goes.
SRWLOCK g_lock = SRWLOCK_INIT;
std::list<LaterCrash>& LaterCrashes() {
    static std::list<LaterCrash> crashes;
    return crashes;
}

LRESULT CALLBACK LaterCrashProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_TIMER && wParam == kTimerId) {
        const auto* crash =
            reinterpret_cast<const LaterCrash*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (crash)
            CrashNow(CrashKind::AccessViolation, crash->object, crash->member, "timer");
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &LaterCrashProc;
        windowClass.hInstance = ThisModule();
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    return registered;
}

} // namespace

void ArmLaterCrash(std::string_view object, std::string_view member, UINT milliseconds) noexcept {
    try {
        if (!RegisterWindowClass() || !PinModule())
            return;
        LaterCrash* crash = nullptr;
        {
            ExclusiveLock hold(g_lock);
            crash = &LaterCrashes().emplace_back(LaterCrash{object, member});
        }
        // WS_POPUP without WS_VISIBLE: top-level, never shown.
        UniqueWindow window(CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                            nullptr, ThisModule(), crash));
        if (!window || !SetTimer(window.Get(), kTimerId, milliseconds, nullptr))
            return;
        WriteEventJournal(JournalKind::CrashLater, object, member,
                          {SeenField("ms", std::to_string(milliseconds))});
        // Kept on purpose: it is what crashes.
        window.Release();
    } catch (const std::bad_alloc&) {
        // No later crash; the call goes on normally.
    }
}

} // namespace brevanto::standin
