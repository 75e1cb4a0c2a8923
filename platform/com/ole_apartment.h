#pragma once

#include <windows.h>

#include <ole2.h>

namespace brevanto {

// Starts OLE on the calling thread, as the components' older host did: a single-threaded
// apartment with drag and drop, the OLE clipboard and in-place activation available to their
// forms. OLE is uninitialised only if this guard initialised it, once.
class OleApartment {
public:
    OleApartment() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleApartment() { Uninitialize(); }
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;

    bool Initialized() const { return initialized_; }

    // Ends OLE now, for a program that is about to end without unwinding to the destructor.
    void Uninitialize() {
        if (initialized_)
            OleUninitialize();
        initialized_ = false;
    }

private:
    bool initialized_;
};

} // namespace brevanto
