#include "platform/component_call.h"

#include "platform/crash_handling.h"

namespace brevanto {
namespace {

int g_activeCalls = 0;

} // namespace

DefaultContextScope::DefaultContextScope() {
    // A null context on top of the stack stands for the process default.
    active_ = ActivateActCtx(nullptr, &cookie_) != FALSE;
}

DefaultContextScope::~DefaultContextScope() {
    if (active_)
        DeactivateActCtx(0, cookie_);
}

ComponentCall::Count::Count() {
    ++g_activeCalls;
}

ComponentCall::Count::~Count() {
    --g_activeCalls;
}

ComponentCall::ComponentCall() = default;

ComponentCall::~ComponentCall() {
    ReassertCrashHandling();
}

int ActiveComponentCalls() {
    return g_activeCalls;
}

} // namespace brevanto
