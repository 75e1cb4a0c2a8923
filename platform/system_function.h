#pragma once

#include <windows.h>

namespace brevanto {

// A function of a loaded system DLL looked up at run time, for functions newer than the oldest
// supported Windows; null where this Windows lacks it.
template <typename Function> Function SystemFunction(const wchar_t* module, const char* name) {
    const HMODULE loaded = GetModuleHandleW(module);
    if (!loaded)
        return nullptr;
    // Through void (*)(), which converts to any function pointer type without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(loaded, name)));
}

} // namespace brevanto
