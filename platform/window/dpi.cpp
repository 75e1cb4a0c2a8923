#include "platform/window/dpi.h"

#include "platform/base/system_function.h"

namespace brevanto {

UINT WindowDpi(HWND window) {
    // The per-window DPI functions exist only from Windows 10 1607 on.
    static const auto getDpiForWindow =
        SystemFunction<UINT(WINAPI*)(HWND)>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window))
            return dpi;
    }
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    if (dc)
        ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto adjustForDpi = SystemFunction<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>(
        L"user32.dll", "AdjustWindowRectExForDpi");
    RECT rect{0, 0, client.cx, client.cy};
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

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

void ScaleNonClientAreaOfPerMonitorV1(HWND window) {
    using EqualFunction = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);
    using EnableFunction = BOOL(WINAPI*)(HWND);
    static const auto equal =
        SystemFunction<EqualFunction>(L"user32.dll", "AreDpiAwarenessContextsEqual");
    static const auto enable =
        SystemFunction<EnableFunction>(L"user32.dll", "EnableNonClientDpiScaling");
    const DPI_AWARENESS_CONTEXT awareness = WindowDpiAwareness(window);
    if (equal && enable && awareness && equal(awareness, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE))
        enable(window);
}

DPI_AWARENESS_CONTEXT WindowDpiAwareness(HWND window) {
    static const auto get = SystemFunction<GetWindowDpiAwarenessContextFunction>(
        L"user32.dll", "GetWindowDpiAwarenessContext");
    return get && window ? get(window) : nullptr;
}

} // namespace brevanto
