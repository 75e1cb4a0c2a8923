#pragma once

#include <windows.h>

#include "platform/dpi_unaware_scope.h"

namespace brevanto {

// Pushes the process default activation context (the exe's manifest 1, with the classic common
// controls) for the scope's lifetime, over whatever context is active: our own version 6
// context around a message box whose loop runs the job, or the context Windows activates
// around our window procedure.
class DefaultContextScope {
public:
    DefaultContextScope();
    ~DefaultContextScope();
    DefaultContextScope(const DefaultContextScope&) = delete;
    DefaultContextScope& operator=(const DefaultContextScope&) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

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
// frames; and afterwards our crash handling is put back in case the component replaced it.
class ComponentCall {
public:
    ComponentCall();
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
};

// How many component calls are under way on this thread, nested ones included.
int ActiveComponentCalls();

} // namespace brevanto
