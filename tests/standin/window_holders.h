#pragma once

#include <windows.h>

namespace brevanto::standin {

// Destroys a window this DLL created, with its children, when the scope ends.
class OwnedWindow {
public:
    explicit OwnedWindow(HWND window) : window_(window) {}
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    ~OwnedWindow() {
        if (window_)
            DestroyWindow(window_);
    }

    HWND get() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }

private:
    HWND window_;
};

// Removes a hook this DLL installed when the scope ends.
class InstalledHook {
public:
    explicit InstalledHook(HHOOK hook) : hook_(hook) {}
    InstalledHook(const InstalledHook&) = delete;
    InstalledHook& operator=(const InstalledHook&) = delete;
    ~InstalledHook() {
        if (hook_)
            UnhookWindowsHookEx(hook_);
    }

    explicit operator bool() const { return hook_ != nullptr; }

private:
    HHOOK hook_;
};

} // namespace brevanto::standin
