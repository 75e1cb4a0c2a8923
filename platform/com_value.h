#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string_view>

namespace brevanto {

// Owns one BSTR; frees it when replaced or destroyed.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text);
    ~Bstr() { Reset(); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR Get() const { return value_; }
    // Hands the string to the caller, who must free it.
    BSTR Release();
    void Reset();

private:
    BSTR value_ = nullptr;
};

// Owns one VARIANT; clears it when replaced or destroyed.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant&& other) noexcept;

    VARIANT* Get() { return &value_; }
    const VARIANT* Get() const { return &value_; }
    // Clears the held value first, so the pointer can receive a new one.
    VARIANT* ResetAndGetAddress() {
        VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_;
};

// Owns the strings an IDispatch::Invoke may leave in its EXCEPINFO.
class ExcepInfo {
public:
    ExcepInfo() : value_{} {}
    ~ExcepInfo();
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;

    EXCEPINFO* Get() { return &value_; }
    // Lets a component that defers its error details fill them in now.
    void FillDeferred();

private:
    EXCEPINFO value_;
};

} // namespace brevanto
