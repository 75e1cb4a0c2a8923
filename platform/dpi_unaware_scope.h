#pragma once

#include <windows.h>

namespace brevanto {

// Sets the calling thread DPI-unaware for the scope's lifetime and restores its awareness after,
// on every path. Component calls run inside one, so the windows a component creates are scaled
// by the system as in the older, DPI-unaware host it was built for, while our own window stays
// per-monitor aware. Does nothing where the system has no per-thread DPI awareness.
class DpiUnawareScope {
public:
    DpiUnawareScope();
    ~DpiUnawareScope();
    DpiUnawareScope(const DpiUnawareScope&) = delete;
    DpiUnawareScope& operator=(const DpiUnawareScope&) = delete;

private:
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

} // namespace brevanto
