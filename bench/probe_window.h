#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/log_box.h"
#include "platform/base/unique_resource.h"
#include "platform/window/activation_context.h"
#include "report/job_window.h"

namespace brevanto::bench {

// One stretch of time the window spent on the job's behalf.
struct WindowSpan {
    enum Kind { ReadLog, SetLog, Paint, Events } kind;
    std::int64_t startUs;
    std::int64_t endUs;
};

// How the probe window gets new log text to the box.
enum class LogUpdate {
    Whole,     // SetWindowTextW with the whole text at every line, painted at once
    Append,    // EM_SETSEL to the end and EM_REPLACESEL with the new part
    Coalesced, // kept in the window; the box gets it whole from a 30 ms timer, once per burst
    // As Brevanto does (app/log_box.h): the box answers with the whole text at once; the edit
    // takes it from a 30 ms timer, at any other message, or when the job asks for a paint
    Deferred
};

// A window laid out like Brevanto's (caption, buttons, label, the multi-line log box with its
// scroll bar and fonts) that makes the same Win32 calls for the job as the product's window and
// records when it made them.
class ProbeWindow : public JobWindow {
public:
    ProbeWindow(HINSTANCE instance, LogUpdate update);
    ~ProbeWindow() override;
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;

    HWND Handle() const { return window_.Get(); }
    HWND LogBox() const { return log_; }
    const std::vector<WindowSpan>& Spans() const { return spans_; }
    // Empties the log box and forgets the spans, for the next round.
    void Restart();

    WindowState& State() override { return state_; }
    bool IsOpen() const override { return static_cast<bool>(window_); }
    std::wstring LogText() const override;
    void SetLogText(const std::wstring& text) override;
    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;
    void PaintLog() override;
    void DoEvents() override;
    void ArmExitTimer() override {}
    // The probe keeps no record of its runs.
    void NoteRequestNumber(const std::wstring&) override {}

private:
    static void CALLBACK FlushLog(HWND window, UINT message, UINT_PTR id, DWORD time);
    void ArmFlush();
    void Record(WindowSpan::Kind kind, std::int64_t startUs) const;

    LogUpdate update_;
    HWND log_ = nullptr;
    ActivationContext ownControls_;
    const CommonControls commonControls_{ownControls_}; // as Brevanto loads comctl32
    UniqueFont windowFont_;
    UniqueFont logFont_;
    UniqueWindow window_; // after the fonts: it goes before them
    WindowState state_;
    std::wstring pendingLog_; // Coalesced: the text the box is to show
    bool flushArmed_ = false;
    brevanto::LogBox deferred_; // Deferred: the log box as Brevanto has it
    mutable std::vector<WindowSpan> spans_;
};

} // namespace brevanto::bench
