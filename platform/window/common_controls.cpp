#include "platform/window/common_controls.h"

#include "platform/base/system_library.h"

namespace brevanto {

CommonControls::CommonControls(const ActivationContext& context) {
    {
        const ActivationScope scope(context);
        module_ = LoadSystemLibrary(L"comctl32.dll");
    }
    initCommonControlsEx_ =
        ModuleFunction<decltype(initCommonControlsEx_)>(module_, "InitCommonControlsEx");
    setWindowSubclass_ = ModuleFunction<decltype(setWindowSubclass_)>(module_, "SetWindowSubclass");
    removeWindowSubclass_ =
        ModuleFunction<decltype(removeWindowSubclass_)>(module_, "RemoveWindowSubclass");
    defSubclassProc_ = ModuleFunction<decltype(defSubclassProc_)>(module_, "DefSubclassProc");
}

BOOL CommonControls::InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) const {
    return initCommonControlsEx_ && initCommonControlsEx_(classes);
}

BOOL CommonControls::SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id,
                                       DWORD_PTR data) const {
    return setWindowSubclass_ && setWindowSubclass_(window, procedure, id, data);
}

BOOL CommonControls::RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) const {
    return removeWindowSubclass_ && removeWindowSubclass_(window, procedure, id);
}

LRESULT CommonControls::DefSubclassProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) const {
    return defSubclassProc_ ? defSubclassProc_(window, message, wParam, lParam) : 0;
}

} // namespace brevanto
