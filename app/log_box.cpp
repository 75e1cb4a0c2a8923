#include "app/log_box.h"

#include <algorithm>
#include <new>

#include "platform/window/window_text.h"

namespace brevanto {
namespace {

constexpr UINT_PTR kSubclassId = 1;
// On the edit itself; the edit's own timers (scrolling while selecting) use id 0.
constexpr UINT_PTR kPaintTimer = 0x4C6F;

} // namespace

LogBox::~LogBox() {
    Detach();
}

bool LogBox::Attach(HWND edit, const CommonControls& controls) {
    Detach();
    edit_ = edit;
    controls_ = &controls;
    subclassed_ = edit && controls.SetWindowSubclass(edit, &LogBox::SubclassProc, kSubclassId,
                                                     reinterpret_cast<DWORD_PTR>(this));
    return subclassed_;
}

void LogBox::Detach() {
    if (subclassed_) {
        KillTimer(edit_, kPaintTimer);
        controls_->RemoveWindowSubclass(edit_, &LogBox::SubclassProc, kSubclassId);
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
    GiveEdit(text);
    UpdateWindow(edit_);
}

void LogBox::GiveEdit(const std::wstring& text) {
    std::wstring held;
    try {
        held = WindowText(edit_);
    } catch (const std::bad_alloc&) {
        // No room to compare: the whole text still reaches the edit, which takes it without our
        // copy.
        SetWindowTextW(edit_, text.c_str());
        return;
    }
    const auto limit = static_cast<std::size_t>(SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0));
    const bool adds = text.size() > held.size() && text.size() <= limit &&
                      text.compare(0, held.size(), held) == 0;
    if (!adds) {
        SetWindowTextW(edit_, text.c_str());
        return;
    }
    const auto end = static_cast<WPARAM>(held.size());
    SendMessageW(edit_, EM_SETSEL, end, end);
    SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str() + held.size()));
    // As a whole new text leaves it: the caret at the start, the top in view, nothing to undo.
    SendMessageW(edit_, EM_SETSEL, 0, 0);
    if (SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0) != 0)
        SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
    SendMessageW(edit_, EM_SETMODIFY, FALSE, 0);
    SendMessageW(edit_, EM_EMPTYUNDOBUFFER, 0, 0);
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
    return controls_->DefSubclassProc(edit_, message, wParam, lParam);
}

LRESULT CALLBACK LogBox::SubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self) {
    auto* box = reinterpret_cast<LogBox*>(self);
    const CommonControls* controls = box->controls_;
    if (message == WM_NCDESTROY) {
        box->Detach();
        return controls->DefSubclassProc(edit, message, wParam, lParam);
    }
    // No exception may leave a window procedure. Whatever stopped our part, the edit still
    // answers the message as it would without us.
    try {
        return box->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return controls->DefSubclassProc(edit, message, wParam, lParam);
    }
}

} // namespace brevanto
