#pragma once

#include "platform/base/unique_resource.h"

#include <oaidl.h>
#include <wrl/client.h>

#include <string_view>

namespace brevanto::standin {

// Takes over a reference the caller already owns. Not ComPtr::Attach: mingw-w64's (10.0) adds a
// reference of its own, so the object would never be freed.
template <class T> Microsoft::WRL::ComPtr<T> Adopt(T* owned) {
    Microsoft::WRL::ComPtr<T> held;
    *held.GetAddressOf() = owned;
    return held;
}

// A new BSTR with the text; an empty text gives an empty BSTR, not a null one.
UniqueBstr MakeBstr(std::u16string_view text);

// Keeps a copy of the value itself, never of a reference into the caller's storage.
HRESULT CopyVariant(UniqueVariant& target, const VARIANT& source);

// Makes the variant hold the object, taking over the caller's reference; null is no object.
void HoldDispatch(UniqueVariant& target, IDispatch* object);

} // namespace brevanto::standin
