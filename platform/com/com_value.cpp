#include "platform/com/com_value.h"

#include <new>

namespace brevanto {

UniqueBstr MakeBstr(std::wstring_view text) {
    UniqueBstr bstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    if (!bstr)
        throw std::bad_alloc();
    return bstr;
}

ExcepInfo::~ExcepInfo() {
    SysFreeString(value_.bstrSource);
    SysFreeString(value_.bstrDescription);
    SysFreeString(value_.bstrHelpFile);
}

void ExcepInfo::FillDeferred() {
    if (value_.pfnDeferredFillIn) {
        const auto fill = value_.pfnDeferredFillIn;
        value_.pfnDeferredFillIn = nullptr;
        fill(&value_);
    }
}

} // namespace brevanto
