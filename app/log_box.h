#pragma once

#include <windows.h>

#include <string>

#include "platform/window/common_controls.h"

namespace brevanto {

// The window's multi-line log box, whose pixels may follow its text by up to kPaintDelayMs.
//
// Under Wine a multi-line edit redraws its vertical scroll bar twice whenever its whole text is
// set, and that costs more than the whole report job besides. So a new text is kept here first:
// the box answers WM_GETTEXT and WM_GETTEXTLENGTH with it at once, from anyone, and the edit
// itself takes it in one set for a burst of lines, from a timer or when Paint is called. Any
// other message the box gets while a text waits (a paint, a key, a click, an edit message) takes
// the text in first, so typed text lands in the whole log and the box never paints an old text.
class LogBox {
public:
    static constexpr UINT kPaintDelayMs = 30;

    LogBox() = default;
    ~LogBox();
    LogBox(const LogBox&) = delete;
    LogBox& operator=(const LogBox&) = delete;

    // Takes over the edit with the subclass functions of the comctl32 that made it (our version
    // 6); false if it could not be subclassed: the edit then takes every text at once.
    bool Attach(HWND edit, const CommonControls& controls);

    std::wstring Text() const;
    void SetText(const std::wstring& text);
    // Gives the edit the waiting text, if any, and paints it now.
    void Paint();

private:
    static LRESULT CALLBACK SubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A text that only adds lines to the edit's own is appended: that spares one of the two
    // scroll bar redraws a whole new text costs under Wine. Any other text is set whole.
    void GiveEdit(const std::wstring& text);
    LRESULT CopyPendingText(WPARAM capacity, LPARAM buffer) const;
    void Detach();

    HWND edit_ = nullptr;
    const CommonControls* controls_ = nullptr;
    bool subclassed_ = false;
    bool pending_ = false;
    std::wstring pendingText_;
};

} // namespace brevanto
