#pragma once

#include <windows.h>

#include <initializer_list>

namespace brevanto {

// The DPI the window is shown at (96 when the system cannot tell per window).
UINT WindowDpi(HWND window);

// The outer window size that gives the client size asked for, at the given DPI.
SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

// Sets the calling thread's DPI awareness for the scope's lifetime and restores it after, on
// every path. Does nothing where the system has no per-thread DPI awareness, or for a null
// context.
class ThreadDpiScope {
public:
    explicit ThreadDpiScope(DPI_AWARENESS_CONTEXT awareness);
    // The first of the choices the system accepts.
    explicit ThreadDpiScope(std::initializer_list<DPI_AWARENESS_CONTEXT> choices);
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

// Our own window is created inside one: per-monitor aware, version 2 where the system has it
// (Windows 10 1703 on; Wine refuses it), else version 1 (Windows 10 1607, the first with
// per-thread awareness). Before that the window stays unaware like the rest of the process.
class PerMonitorDpiScope : public ThreadDpiScope {
public:
    PerMonitorDpiScope()
        : ThreadDpiScope({DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2,
                          DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE}) {}
};

// A per-monitor window's title bar and frame are scaled with it by version 2 of the awareness
// itself; one that fell back to version 1 (Windows 10 1607 and Server 2016, and Wine) has them
// scaled only when it asks for it as it is made. Call at WM_NCCREATE; does nothing for any other
// awareness, or where the system lacks the call.
void ScaleNonClientAreaOfPerMonitorV1(HWND window);

// The awareness a window was created with, for a scope that gives it back to our own windows;
// null where the system cannot tell.
DPI_AWARENESS_CONTEXT WindowDpiAwareness(HWND window);

} // namespace brevanto
