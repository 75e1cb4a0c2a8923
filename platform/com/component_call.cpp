#include "platform/com/component_call.h"

#include "platform/unattended/crash_handling.h"

namespace brevanto {
namespace {

int g_activeCalls = 0;

} // namespace

ComponentCall::Count::Count() {
    ++g_activeCalls;
}

ComponentCall::Count::~Count() {
    --g_activeCalls;
}

ComponentCall::ComponentCall(std::wstring_view object, std::wstring_view member)
    : inProgress_(object, member) {}

ComponentCall::~ComponentCall() {
    ReassertCrashHandling();
}

int ActiveComponentCalls() {
    return g_activeCalls;
}

} // namespace brevanto
