#pragma once

#include <windows.h>

#include <commctrl.h>

#include "platform/window/activation_context.h"

namespace brevanto {

// comctl32, loaded at run time with our own activation context active, so that it is the
// side-by-side version 6 our controls are made with: a static import would take a comctl32.dll
// beside the exe, and would bind version 5.82 whatever context is active later. Every function
// of it Brevanto calls comes from this module. The module stays loaded for the process's life,
// as an imported one would.
class CommonControls {
public:
    explicit CommonControls(const ActivationContext& context);

    bool Loaded() const { return module_ != nullptr; }

    // Each returns FALSE (DefSubclassProc 0) when the module or the function is missing.
    BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) const;
    BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) const;
    BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) const;
    LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    HMODULE module_ = nullptr;
    decltype(&::InitCommonControlsEx) initCommonControlsEx_ = nullptr;
    decltype(&::SetWindowSubclass) setWindowSubclass_ = nullptr;
    decltype(&::RemoveWindowSubclass) removeWindowSubclass_ = nullptr;
    decltype(&::DefSubclassProc) defSubclassProc_ = nullptr;
};

} // namespace brevanto
