#include "platform/com_value.h"

#include <new>

namespace brevanto {

Bstr::Bstr(std::wstring_view text)
    : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (!value_)
        throw std::bad_alloc();
}

BSTR Bstr::Release() {
    BSTR value = value_;
    value_ = nullptr;
    return value;
}

void Bstr::Reset() {
    SysFreeString(value_);
    value_ = nullptr;
}

Variant::Variant(Variant&& other) noexcept : value_(other.value_) {
    VariantInit(&other.value_);
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        VariantClear(&value_);
        value_ = other.value_;
        VariantInit(&other.value_);
    }
    return *this;
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
