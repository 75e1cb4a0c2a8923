#pragma once

#include <windows.h>

#include <oleauto.h>

#include <type_traits>
#include <utility>

namespace brevanto {

template <typename T> constexpr T NoResource() {
    return T{};
}
inline HANDLE InvalidHandle() {
    return INVALID_HANDLE_VALUE;
}
inline VARIANT EmptyVariant() {
    VARIANT value;
    VariantInit(&value);
    return value;
}

// Owns one Windows resource and frees it with Close when replaced or destroyed. Close takes the
// resource (CloseHandle) or, when it cannot, its address (VariantClear): a HANDLE's address
// converts to void* as readily as the HANDLE itself, so the resource is always tried first. Invalid
// gives the value that holds nothing; a handle that is null or Invalid() is never closed. COM
// interfaces are held by WRL's ComPtr instead.
template <typename T, auto Close, T (*Invalid)() = NoResource<T>> class UniqueResource {
public:
    UniqueResource() noexcept : value_(Invalid()) {}
    explicit UniqueResource(T value) noexcept : value_(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    const T& Get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return Holds(value_); }

    // Frees what is held first, so the address can receive a new resource.
    T* Put() noexcept {
        Reset();
        return &value_;
    }
    // Hands the resource to the caller, who must free it.
    T Release() noexcept { return std::exchange(value_, Invalid()); }
    // Keeps the thread's last error: a holder is often reset on the way out of a failed call,
    // after that call's error and before the caller reads it.
    void Reset(T value = Invalid()) noexcept {
        if (Holds(value_)) {
            const DWORD lastError = GetLastError();
            if constexpr (std::is_invocable_v<decltype(Close), T>)
                Close(value_);
            else
                Close(&value_);
            SetLastError(lastError);
        }
        value_ = value;
    }

private:
    static bool Holds(const T& value) noexcept {
        if constexpr (std::is_pointer_v<T>)
            return value != nullptr && value != Invalid();
        else
            return true; // a struct such as VARIANT: clearing an empty one is harmless
    }

    T value_;
};

using UniqueHandle = UniqueResource<HANDLE, &CloseHandle>;
using UniqueFile = UniqueResource<HANDLE, &CloseHandle, &InvalidHandle>;
using UniqueFind = UniqueResource<HANDLE, &FindClose, &InvalidHandle>;
using UniqueRegistryKey = UniqueResource<HKEY, &RegCloseKey>;
using UniqueFont = UniqueResource<HFONT, &DeleteObject>;
using UniqueModule = UniqueResource<HMODULE, &FreeLibrary>;
using UniqueWindow = UniqueResource<HWND, &DestroyWindow>;
using UniqueHook = UniqueResource<HHOOK, &UnhookWindowsHookEx>;
using UniqueActivationContext = UniqueResource<HANDLE, &ReleaseActCtx, &InvalidHandle>;
using UniqueLocal = UniqueResource<HLOCAL, &LocalFree>;
using UniqueBstr = UniqueResource<BSTR, &SysFreeString>;
using UniqueVariant = UniqueResource<VARIANT, &VariantClear, &EmptyVariant>;

} // namespace brevanto
