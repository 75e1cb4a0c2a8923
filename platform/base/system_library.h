#pragma once

#include <windows.h>

namespace brevanto {

// Loads one of Windows' own DLLs that is not a KnownDLL (comctl32, dbghelp, version, uxtheme,
// ...) from the system folder. For a plain name the loader searches the exe's folder first, so
// a DLL of that name put beside the exe would run in every run; a static import is found that
// way, which is why the exes import only KnownDLLs. The side-by-side redirection of the
// activation context active on the calling thread still applies (comctl32 version 6 from our
// own context). Only this load is restricted: the process's own DLL search is left as it is,
// for the components load their DLLs from their own folders. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of a module loaded at run time; null when the module or the function is missing.
template <typename Function> Function ModuleFunction(HMODULE module, const char* name) {
    if (!module)
        return nullptr;
    // Through void (*)(), which converts to any function pointer type without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace brevanto
