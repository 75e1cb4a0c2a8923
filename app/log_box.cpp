#include "app/log_box.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/window_text.h"

namespace brevanto {
namespace {

constexpr UINT_PTR kSubclassId = 1;
// On the edit itself; the edit's own timers (scrolling while selecting) use id 0.
constexpr UINT_PTR kPaintTimer = 0x4C6F;

} // namespace

LogBox::~LogBox() {
    Detach();
}

bool LogBox::Attach(HWND edit) {
    Detach();
    edit_ = edit;
    subclassed_ = edit && SetWindowSubclass(edit, &LogBox::SubclassProc, kSubclassId,
                                            reinterpret_cast<DWORD_PTR>(this));
    return subclassed_;
}

void LogBox::Detach() {
    if (subclassed_) {
        KillTimer(edit_, kPaintTimer);
        RemoveWindowSubclass(edit_, &LogBox::SubclassProc, kSubclassId);
    }
    edit_ = nullptr;
    subclassed_ = false;
    pending_ = false;
    pendingText_.clear();
}

std::wstring LogBox::Text() const {
    return WindowText(edit_);
}

void LogBox::SetText(const std::wstring& text) {
    if (!subclassed_) {
        SetWindowTextW(edit_, text.c_str());
        return;
    }
    pendingText_ = text;
    if (!pending_) {
        pending_ = true;
        // Armed by the first text of a burst only: setting it again would restart its count.
        SetTimer(edit_, kPaintTimer, kPaintDelayMs, nullptr);
    }
}

void LogBox::Paint() {
    if (!pending_)
        return;
    pending_ = false;
    KillTimer(edit_, kPaintTimer);
    // The messages this set sends find no text waiting any more.
    const std::wstring text = std::move(pendingText_);
    pendingText_.clear();
    SetWindowTextW(edit_, text.c_str());
    UpdateWindow(edit_);
}

LRESULT LogBox::CopyPendingText(WPARAM capacity, LPARAM buffer) const {
    if (capacity == 0 || !buffer)
        return 0;
    const std::size_t count = std::min<std::size_t>(pendingText_.size(), capacity - 1);
    auto* out = reinterpret_cast<wchar_t*>(buffer);
    std::copy_n(pendingText_.data(), count, out);
    out[count] = L'\0';
    return static_cast<LRESULT>(count);
}

LRESULT LogBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (pending_) {
        switch (message) {
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(pendingText_.size());
        case WM_GETTEXT:
            return CopyPendingText(wParam, lParam);
        case WM_TIMER:
            if (wParam == kPaintTimer) {
                Paint();
                return 0;
            }
            break;
        }
        Paint();
    }
    return DefSubclassProc(edit_, message, wParam, lParam);
}

LRESULT CALLBACK LogBox::SubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self) {
    auto* box = reinterpret_cast<LogBox*>(self);
    if (message == WM_NCDESTROY) {
        box->Detach();
        return DefSubclassProc(edit, message, wParam, lParam);
    }
    return box->HandleMessage(message, wParam, lParam);
}

} // namespace brevanto
