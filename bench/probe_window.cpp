#include "bench/probe_window.h"

#include <commctrl.h>

#include "app/twips.h"
#include "bench/clock.h"
#include "platform/gdi_font.h"
#include "platform/message_pump.h"

namespace brevanto::bench {
namespace {

constexpr wchar_t kClassName[] = L"BrevantoBenchProbe";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr UINT kDpi = 96;
constexpr UINT_PTR kFlushTimer = 1;
constexpr UINT kFlushDelayMs = 30;

int Px(int twips) {
    return TwipsToPixels(twips, kDpi);
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void RegisterProbeClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
}

} // namespace

ProbeWindow::ProbeWindow(HINSTANCE instance, LogUpdate update) : update_(update) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterProbeClass(instance);
    RECT outer{0, 0, Px(8565), Px(5685)};
    AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
    window_ = CreateWindowExW(0, kClassName, L"Lab Report Generator EXE", kStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                              nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Brevanto's controls, places (left, top, width, height in twips) and styles.
    const auto child = [&](DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style,
                           RECT place) {
        return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, Px(place.left),
                               Px(place.top), Px(place.right), Px(place.bottom), window_, nullptr,
                               instance, nullptr);
    };
    HWND test = child(0, L"BUTTON", L"Test", WS_TABSTOP | BS_PUSHBUTTON, {4560, 960, 1335, 495});
    HWND cancel =
        child(0, L"BUTTON", L"&Cancel", WS_TABSTOP | BS_PUSHBUTTON, {6120, 600, 2055, 915});
    log_ = child(WS_EX_CLIENTEDGE, L"EDIT", L"",
                 WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                 {240, 1560, 8055, 3855});
    HWND label = child(0, L"STATIC", L"Generating Report...", SS_LEFT, {240, 240, 8415, 375});
    SendMessageW(log_, EM_SETLIMITTEXT, 0, 0);
    windowFont_ = CreateUiFont(L"Segoe UI", FontHeightPixels(1200, kDpi));
    logFont_ = CreateUiFont(L"Segoe UI", FontHeightPixels(825, kDpi));
    for (HWND control : {test, cancel, label})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_), TRUE);
    SendMessageW(log_, WM_SETFONT, reinterpret_cast<WPARAM>(logFont_), TRUE);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    SetFocus(cancel);
    RunPendingMessages(window_);
}

ProbeWindow::~ProbeWindow() {
    if (window_) {
        KillTimer(window_, kFlushTimer);
        DestroyWindow(window_);
    }
    if (windowFont_)
        DeleteObject(windowFont_);
    if (logFont_)
        DeleteObject(logFont_);
}

void ProbeWindow::Restart() {
    KillTimer(window_, kFlushTimer);
    flushArmed_ = false;
    pendingLog_.clear();
    SetWindowTextW(log_, L"");
    RunPendingMessages(window_);
    spans_.clear();
}

void ProbeWindow::Record(WindowSpan::Kind kind, std::int64_t startUs) const {
    spans_.push_back({kind, startUs, NowUs()});
}

std::wstring ProbeWindow::LogText() const {
    const std::int64_t start = NowUs();
    std::wstring text = update_ == LogUpdate::Coalesced ? pendingLog_ : TextOf(log_);
    Record(WindowSpan::ReadLog, start);
    return text;
}

void ProbeWindow::SetLogText(const std::wstring& text) {
    const std::int64_t start = NowUs();
    const auto length = static_cast<std::size_t>(GetWindowTextLengthW(log_));
    if (update_ == LogUpdate::Coalesced) {
        pendingLog_ = text;
        // The first line of a burst arms the timer; later ones ride along.
        if (!flushArmed_)
            flushArmed_ =
                SetTimer(window_, kFlushTimer, kFlushDelayMs, &ProbeWindow::FlushLog) != 0;
    } else if (update_ == LogUpdate::Append && text.size() >= length &&
               text.compare(0, length, TextOf(log_)) == 0) {
        SendMessageW(log_, EM_SETSEL, length, length);
        SendMessageW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str() + length));
    } else {
        SetWindowTextW(log_, text.c_str());
    }
    Record(WindowSpan::SetLog, start);
}

void CALLBACK ProbeWindow::FlushLog(HWND window, UINT, UINT_PTR id, DWORD) {
    auto* self = reinterpret_cast<ProbeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    KillTimer(window, id);
    if (!self)
        return;
    const std::int64_t start = NowUs();
    self->flushArmed_ = false;
    SetWindowTextW(self->log_, self->pendingLog_.c_str());
    self->Record(WindowSpan::SetLog, start);
}

std::wstring ProbeWindow::Caption() const {
    return TextOf(window_);
}

void ProbeWindow::SetCaption(const std::wstring& caption) {
    SetWindowTextW(window_, caption.c_str());
}

void ProbeWindow::DoEvents() {
    const std::int64_t start = NowUs();
    RunPendingMessages(window_);
    Record(WindowSpan::Events, start);
}

} // namespace brevanto::bench
