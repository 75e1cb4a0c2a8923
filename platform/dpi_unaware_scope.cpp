#include "platform/dpi_unaware_scope.h"

#include "platform/system_function.h"

namespace brevanto {
namespace {

using SetThreadDpiAwarenessContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetWindowDpiAwarenessContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);

SetThreadDpiAwarenessContextFunction SetThreadContext() {
    // From Windows 10 1607 on; before it the manifest leaves the whole process unaware.
    static const auto function = SystemFunction<SetThreadDpiAwarenessContextFunction>(
        L"user32.dll", "SetThreadDpiAwarenessContext");
    return function;
}

} // namespace

ThreadDpiScope::ThreadDpiScope(DPI_AWARENESS_CONTEXT awareness) {
    if (const auto set = SetThreadContext(); set && awareness)
        previous_ = set(awareness);
}

ThreadDpiScope::~ThreadDpiScope() {
    if (previous_)
        SetThreadContext()(previous_);
}

DPI_AWARENESS_CONTEXT WindowDpiAwareness(HWND window) {
    static const auto get = SystemFunction<GetWindowDpiAwarenessContextFunction>(
        L"user32.dll", "GetWindowDpiAwarenessContext");
    return get && window ? get(window) : nullptr;
}

} // namespace brevanto
