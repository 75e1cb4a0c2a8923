#pragma once

#include <windows.h>

#include <objbase.h>

namespace brevanto {

// Puts the calling thread into a single-threaded apartment for its lifetime; uninitialises COM
// only if this guard initialised it.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

} // namespace brevanto
