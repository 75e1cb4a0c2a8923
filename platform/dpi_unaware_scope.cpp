#include "platform/dpi_unaware_scope.h"

#include "platform/system_function.h"

namespace brevanto {
namespace {

using SetThreadDpiAwarenessContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

SetThreadDpiAwarenessContextFunction SetThreadContext() {
    // From Windows 10 1607 on; before it the manifest leaves the whole process unaware.
    static const auto function = SystemFunction<SetThreadDpiAwarenessContextFunction>(
        L"user32.dll", "SetThreadDpiAwarenessContext");
    return function;
}

} // namespace

DpiUnawareScope::DpiUnawareScope() {
    if (const auto set = SetThreadContext())
        previous_ = set(DPI_AWARENESS_CONTEXT_UNAWARE);
}

DpiUnawareScope::~DpiUnawareScope() {
    if (previous_)
        SetThreadContext()(previous_);
}

} // namespace brevanto
