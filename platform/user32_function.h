#pragma once

#include <windows.h>

namespace brevanto {

// A user32 function looked up at run time, for functions newer than the oldest supported
// Windows; null where the system lacks it.
template <typename Function> Function User32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

} // namespace brevanto
