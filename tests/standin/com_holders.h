#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace brevanto::standin {

// Owns one reference to a COM interface.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already owns.
    static ComPtr Adopt(T* pointer) {
        ComPtr held;
        held.pointer_ = pointer;
        return held;
    }
    // Adds a reference of its own.
    static ComPtr Share(T* pointer) {
        if (pointer)
            pointer->AddRef();
        return Adopt(pointer);
    }

    ComPtr(const ComPtr& other) : ComPtr(Share(other.pointer_)) {}
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComPtr() {
        if (pointer_)
            pointer_->Release();
    }

    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Hands the reference to the caller.
    T* Detach() { return std::exchange(pointer_, nullptr); }

private:
    T* pointer_ = nullptr;
};

// Owns one BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text)
        : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    explicit Bstr(std::u16string_view text) : Bstr(std::wstring(text.begin(), text.end())) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(text_); }

    BSTR get() const { return text_; }
    // Hands the string to the caller, who frees it.
    BSTR Detach() { return std::exchange(text_, nullptr); }

private:
    BSTR text_ = nullptr;
};

// Owns one VARIANT and whatever it holds.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant& operator=(Variant&&) = delete;
    ~Variant() { VariantClear(&value_); }

    const VARIANT& get() const { return value_; }
    VARIANT* put() {
        VariantClear(&value_);
        return &value_;
    }
    // Keeps a copy of the value itself, never of a reference into the caller's storage.
    HRESULT CopyFrom(const VARIANT& source) {
        return VariantCopyInd(&value_, const_cast<VARIANT*>(&source));
    }
    // Moves the value into a caller's VARIANT, which must hold nothing that needs freeing.
    void MoveTo(VARIANT* target) {
        *target = value_;
        VariantInit(&value_);
    }

private:
    VARIANT value_;
};

} // namespace brevanto::standin
