#include "thread_timer.h"

#include "exclusive_lock.h"
#include "journal.h"
#include "module.h"
#include "observation.h"

#include <windows.h>

#include <map>
#include <new>

namespace brevanto::standin {
namespace {

struct TimerCall {
    std::string_view object;
    std::string_view member;
};

SRWLOCK g_lock = SRWLOCK_INIT;
std::map<UINT_PTR, TimerCall>& ArmedTimers() {
    static std::map<UINT_PTR, TimerCall> timers;
    return timers;
}

void CALLBACK OnThreadTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    TimerCall call;
    {
        ExclusiveLock hold(g_lock);
        const auto found = ArmedTimers().find(id);
        if (found == ArmedTimers().end())
            return;
        call = found->second;
        ArmedTimers().erase(found);
    }
    WriteObservation(call.object, call.member, JournalKind::Timer);
}

} // namespace

void ArmThreadTimer(std::string_view object, std::string_view member) noexcept {
    try {
        if (!PinModule())
            return;
        ExclusiveLock hold(g_lock);
        // USER_TIMER_MINIMUM: due by the host's next event run after this call.
        if (const UINT_PTR id = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &OnThreadTimer))
            ArmedTimers()[id] = TimerCall{object, member};
    } catch (const std::bad_alloc&) {
        // No timer; the call goes on normally.
    }
}

} // namespace brevanto::standin
