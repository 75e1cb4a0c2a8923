#include "platform/dpi_unaware_scope.h"

#include "platform/system_function.h"

namespace brevanto {
namespace {

using SetThreadDpiAwarenessContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetWindowDpiAwarenessContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);

SetThreadDpiAwarenessContextFunction SetThreadContext() {
    // From Windows 10 1607 on; before it the whole process stays unaware.
    static const auto function = SystemFunction<SetThreadDpiAwarenessContextFunction>(
        L"user32.dll", "SetThreadDpiAwarenessContext");
    return function;
}

} // namespace

ThreadDpiScope::ThreadDpiScope(DPI_AWARENESS_CONTEXT awareness)
    : ThreadDpiScope(std::initializer_list<DPI_AWARENESS_CONTEXT>{awareness}) {}

ThreadDpiScope::ThreadDpiScope(std::initializer_list<DPI_AWARENESS_CONTEXT> choices) {
    const auto set = SetThreadContext();
    if (!set)
        return;
    for (const DPI_AWARENESS_CONTEXT awareness : choices) {
        // A context the system does not know leaves the thread as it was and gives null.
        if (awareness && (previous_ = set(awareness)) != nullptr)
            return;
    }
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
