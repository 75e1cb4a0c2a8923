#pragma once

#include <windows.h>

#include "platform/base/system_library.h"

namespace brevanto {

// A function of a loaded system DLL looked up at run time, for functions newer than the oldest
// supported Windows; null where this Windows lacks it.
template <typename Function> Function SystemFunction(const wchar_t* module, const char* name) {
    return ModuleFunction<Function>(GetModuleHandleW(module), name);
}

} // namespace brevanto
