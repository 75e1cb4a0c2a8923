#pragma once

#include <windows.h>

namespace brevanto::standin {

// A function of a loaded system DLL, or null where this Windows lacks it; the DLL is built for
// Windows 7 and must still load there.
template <class Function> Function FindSystemFunction(const wchar_t* module, const char* name) {
    const HMODULE loaded = GetModuleHandleW(module);
    if (!loaded)
        return nullptr;
    // Through void (*)(), which converts to any function pointer type without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(loaded, name)));
}

} // namespace brevanto::standin
