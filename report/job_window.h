#pragma once

#include <string>

#include "report/window_state.h"

namespace brevanto {

// What the report job needs of the main window. The job runs on the window's thread; every event
// run it asks for may serve Cancel, Test or the exit timer before it returns.
class JobWindow {
public:
    virtual ~JobWindow() = default;

    virtual WindowState& State() = 0;
    // False once the window has been unloaded; nothing may touch it after that.
    virtual bool IsOpen() const = 0;

    virtual std::wstring LogText() const = 0;
    virtual void SetLogText(const std::wstring& text) = 0;
    virtual std::wstring Caption() const = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;

    // The log box may paint its text a little after it has it. This paints it now, so a person
    // sees the whole log while a component call that may take long holds the thread.
    virtual void PaintLog() = 0;

    // Runs the window's pending events once, without waiting for new ones.
    virtual void DoEvents() = 0;
    // Restarts the exit timer with 5000 ms from now.
    virtual void ArmExitTimer() = 0;
    // Keeps the request number as the log's line 6 shows it, for the run's record.
    virtual void NoteRequestNumber(const std::wstring& requestNumber) = 0;
};

} // namespace brevanto
