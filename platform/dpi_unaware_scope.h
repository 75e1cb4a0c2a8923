#pragma once

#include <windows.h>

namespace brevanto {

// Sets the calling thread's DPI awareness for the scope's lifetime and restores it after, on
// every path. Does nothing where the system has no per-thread DPI awareness, or for a null
// context.
class ThreadDpiScope {
public:
    explicit ThreadDpiScope(DPI_AWARENESS_CONTEXT awareness);
    ~ThreadDpiScope();
    ThreadDpiScope(const ThreadDpiScope&) = delete;
    ThreadDpiScope& operator=(const ThreadDpiScope&) = delete;

private:
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

// Component calls run inside one, so the windows a component creates are scaled by the system
// as in the older, DPI-unaware host it was built for, while our own window stays per-monitor
// aware.
class DpiUnawareScope : public ThreadDpiScope {
public:
    DpiUnawareScope() : ThreadDpiScope(DPI_AWARENESS_CONTEXT_UNAWARE) {}
};

// The awareness a window was created with, for a scope that gives it back to our own windows;
// null where the system cannot tell.
DPI_AWARENESS_CONTEXT WindowDpiAwareness(HWND window);

} // namespace brevanto
