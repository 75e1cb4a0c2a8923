#include "bench/probe_window.h"

#include <cstdio>

#include <commctrl.h>

#include "app/window_layout.h"
#include "bench/window_class.h"
#include "platform/com/message_pump.h"
#include "platform/window/activation_context.h"
#include "platform/window/gdi_font.h"
#include "platform/window/window_text.h"
#include "tests/support/clock.h"

namespace brevanto::bench {
namespace {

using support::NowUs;

constexpr wchar_t kClassName[] = L"BrevantoBenchProbe";
constexpr UINT kDpi = 96;
constexpr UINT_PTR kFlushTimer = 1;
constexpr UINT kFlushDelayMs = 30;

} // namespace

ProbeWindow::ProbeWindow(HINSTANCE instance, LogUpdate update)
    : update_(update), ownControls_(instance, kOwnControlsManifest) {
    RECT outer{0, 0, TwipsToPixels(kClientWidthTwips, kDpi),
               TwipsToPixels(kClientHeightTwips, kDpi)};
    AdjustWindowRectEx(&outer, kMainWindowStyle, FALSE, kMainWindowExStyle);
    {
        const ActivationScope scope(ownControls_);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
        commonControls_.InitCommonControlsEx(&controls);
        RegisterPlainWindowClass(instance, kClassName, DefWindowProcW);
        window_.Reset(CreateWindowExW(kMainWindowExStyle, kClassName, kMainWindowCaption,
                                      kMainWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                      outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                      nullptr, instance, nullptr));
        SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        CreateLayoutControls(window_.Get(), instance);
    }
    log_ = GetDlgItem(window_.Get(), kText1Id);
    if (update_ == LogUpdate::Deferred)
        deferred_.Attach(log_, commonControls_);
    SendMessageW(log_, EM_SETLIMITTEXT, 0, 0);
    windowFont_.Reset(CreateUiFont(kFontFace, FontHeightPixels(kWindowFontCentipoints, kDpi)));
    logFont_.Reset(CreateUiFont(kFontFace, FontHeightPixels(kLogFontCentipoints, kDpi)));
    ApplyControlLayout(window_.Get(), kDpi, windowFont_.Get(), logFont_.Get());
    ShowWindow(window_.Get(), SW_SHOW);
    UpdateWindow(window_.Get());
    SetFocus(GetDlgItem(window_.Get(), kCmdCancelId));
    RunPendingMessages(window_.Get());
}

ProbeWindow::~ProbeWindow() {
    if (window_)
        KillTimer(window_.Get(), kFlushTimer);
}

void ProbeWindow::Restart() {
    KillTimer(window_.Get(), kFlushTimer);
    flushArmed_ = false;
    pendingLog_.clear();
    if (update_ == LogUpdate::Deferred) {
        deferred_.SetText(L"");
        deferred_.Paint();
    } else {
        SetWindowTextW(log_, L"");
    }
    RunPendingMessages(window_.Get());
    spans_.clear();
}

void ProbeWindow::Record(WindowSpan::Kind kind, std::int64_t startUs) const {
    spans_.push_back({kind, startUs, NowUs()});
}

std::wstring ProbeWindow::LogText() const {
    const std::int64_t start = NowUs();
    std::wstring text = update_ == LogUpdate::Coalesced  ? pendingLog_
                        : update_ == LogUpdate::Deferred ? deferred_.Text()
                                                         : WindowText(log_);
    Record(WindowSpan::ReadLog, start);
    return text;
}

void ProbeWindow::SetLogText(const std::wstring& text) {
    const std::int64_t start = NowUs();
    const auto length = static_cast<std::size_t>(GetWindowTextLengthW(log_));
    if (update_ == LogUpdate::Coalesced) {
        pendingLog_ = text;
        ArmFlush();
    } else if (update_ == LogUpdate::Deferred) {
        deferred_.SetText(text);
    } else if (update_ == LogUpdate::Append && text.size() >= length &&
               text.compare(0, length, WindowText(log_)) == 0) {
        SendMessageW(log_, EM_SETSEL, length, length);
        SendMessageW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str() + length));
    } else {
        SetWindowTextW(log_, text.c_str());
    }
    Record(WindowSpan::SetLog, start);
}

void ProbeWindow::ArmFlush() {
    // The first line of a burst arms the timer; later ones ride along.
    if (!flushArmed_)
        flushArmed_ =
            SetTimer(window_.Get(), kFlushTimer, kFlushDelayMs, &ProbeWindow::FlushLog) != 0;
}

void CALLBACK ProbeWindow::FlushLog(HWND window, UINT, UINT_PTR id, DWORD) {
    auto* self = reinterpret_cast<ProbeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    KillTimer(window, id);
    if (!self)
        return;
    self->flushArmed_ = false;
    // A timer procedure: nothing may leave it. Figures with a span missing would mislead, so
    // the probe ends instead, saying why.
    try {
        const std::int64_t start = NowUs();
        SetWindowTextW(self->log_, self->pendingLog_.c_str());
        self->Record(WindowSpan::SetLog, start);
    } catch (...) {
        std::fputs("bench_log_probe: out of memory recording the log box's update\n", stderr);
        ExitProcess(3);
    }
}

void ProbeWindow::PaintLog() {
    if (update_ != LogUpdate::Deferred)
        return;
    const std::int64_t start = NowUs();
    deferred_.Paint();
    Record(WindowSpan::Paint, start);
}

std::wstring ProbeWindow::Caption() const {
    return WindowText(window_.Get());
}

void ProbeWindow::SetCaption(const std::wstring& caption) {
    SetWindowTextW(window_.Get(), caption.c_str());
}

void ProbeWindow::DoEvents() {
    const std::int64_t start = NowUs();
    RunPendingMessages(window_.Get());
    Record(WindowSpan::Events, start);
}

} // namespace brevanto::bench
