#pragma once

#include <windows.h>

#include <string_view>

#include "platform/com/call_in_progress.h"
#include "platform/window/activation_context.h"
#include "platform/window/dpi.h"

namespace brevanto {

// The world of the older host the components were built for: a DPI-unaware thread and the
// process default activation context, whatever our own code around it had active.
class ComponentWorldScope {
private:
    DpiUnawareScope unaware_;
    DefaultContextScope context_;
};

// Every entry into a component's code runs inside one: creation, name look-up, QueryInterface,
// Invoke and Release. The component gets the world of the older host it was built for; the call
// is counted, so the exit neither releases objects nor runs component code under a call's
// frames; it is named (object and member; an empty member for the creation), so a crash report
// can say what was being called; and afterwards our crash handling is put back in case the
// component replaced it.
class ComponentCall {
public:
    ComponentCall(std::wstring_view object, std::wstring_view member);
    ~ComponentCall();
    ComponentCall(const ComponentCall&) = delete;
    ComponentCall& operator=(const ComponentCall&) = delete;

private:
    // Counted first and uncounted last, so that nothing of ours that runs around the
    // component's code is mistaken for the idle thread.
    struct Count {
        Count();
        ~Count();
    };
    Count count_;
    ComponentWorldScope world_;
    CallInProgress inProgress_;
};

// How many component calls are under way, nested ones included. One count for the whole
// process, not per thread: the components are only ever called from the window's thread.
int ActiveComponentCalls();

} // namespace brevanto
