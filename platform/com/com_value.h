#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string_view>

#include "platform/base/unique_resource.h"

namespace brevanto {

// A BSTR with the text, or std::bad_alloc.
UniqueBstr MakeBstr(std::wstring_view text);

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
