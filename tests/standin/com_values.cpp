#include "com_values.h"

#include <string>

namespace brevanto::standin {

UniqueBstr MakeBstr(std::u16string_view text) {
    const std::wstring wide(text.begin(), text.end());
    return UniqueBstr(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

HRESULT CopyVariant(UniqueVariant& target, const VARIANT& source) {
    // In place rather than through Put(), which would free the old value even when the copy
    // then fails: VariantCopyInd frees it itself.
    return VariantCopyInd(const_cast<VARIANT*>(&target.Get()), const_cast<VARIANT*>(&source));
}

void HoldDispatch(UniqueVariant& target, IDispatch* object) {
    VARIANT* held = target.Put();
    held->vt = VT_DISPATCH;
    held->pdispVal = object;
}

} // namespace brevanto::standin
