#include "com_values.h"

#include <string>
#include <utility>

namespace brevanto::standin {

UniqueBstr MakeBstr(std::u16string_view text) {
    const std::wstring wide(text.begin(), text.end());
    return UniqueBstr(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

HRESULT CopyVariant(UniqueVariant& target, const VARIANT& source) {
    // Into a new holder first, so a copy that fails leaves the old value in place.
    UniqueVariant copy;
    const HRESULT result = VariantCopyInd(copy.Put(), const_cast<VARIANT*>(&source));
    if (SUCCEEDED(result))
        target = std::move(copy);
    return result;
}

void HoldDispatch(UniqueVariant& target, IDispatch* object) {
    VARIANT* held = target.Put();
    held->vt = VT_DISPATCH;
    held->pdispVal = object;
}

} // namespace brevanto::standin
