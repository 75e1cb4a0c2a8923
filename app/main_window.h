#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/core/exit_status.h"
#include "app/log_box.h"
#include "platform/base/unique_resource.h"
#include "platform/com/com_object.h"
#include "platform/com/ole_apartment.h"
#include "platform/registry/registry_settings.h"
#include "platform/window/activation_context.h"
#include "platform/window/common_controls.h"
#include "platform/window/gdi_font.h"
#include "report/job_window.h"

namespace brevanto {

// The exit timer's first interval, from the window's creation.
inline constexpr UINT kExitTimerMs = 20000;

// The program's only window. It starts the report job by itself 50 ms after it is created and
// ends the program through its exit timer or when it is closed.
class frmBrevanto : public JobWindow {
public:
    // Creates the window with its controls and timers, then shows it (Form_Load). The exit guard
    // is started before; when it could not be, that is reported as the window's first act.
    frmBrevanto(HINSTANCE instance, bool exitGuardStarted);
    ~frmBrevanto() override;
    frmBrevanto(const frmBrevanto&) = delete;
    frmBrevanto& operator=(const frmBrevanto&) = delete;

    // Serves events until the window is gone; returns the process exit status.
    int Run();

    WindowState& State() override { return state_; }
    bool IsOpen() const override { return window_ != nullptr; }
    std::wstring LogText() const override;
    void SetLogText(const std::wstring& text) override;
    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;
    void PaintLog() override;
    void DoEvents() override;
    void ArmExitTimer() override;
    void NoteRequestNumber(const std::wstring& requestNumber) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnCreate();
    void OnActivate(bool active);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnDestroy();
    void OnNcDestroy();
    void OnShowTestErrors();

    void Form_Load();
    void Timer1_Timer();
    void Timer2_Timer();
    void cmdCancel_Click();
    void cmdTEST_Click();

    void CreateControls();
    void ApplyLayout(UINT dpi);
    RunFacts Facts() const;
    // Tells the exit guard the status the program ends with if the guard has to end it now.
    void PublishExitStatus();
    [[noreturn]] void End(EndedBy endedBy);
    [[noreturn]] void ReportUnhandledError(const std::wstring& description);
    // Shows one of our message boxes in our own world (version 6 controls, our DPI awareness),
    // also when it is shown inside a component call. Nobody need answer it: the program still
    // ends when its exit is due, even where no exit timer could be made.
    void ShowMessageBox(const std::wstring& text, const std::wstring& title, UINT style);
    static void CALLBACK OnExitDueUnderBox(HWND, UINT, UINT_PTR, DWORD);

    // OLE is started first and ended last on this thread, as the components' older host did.
    OleApartment ole_;
    HINSTANCE instance_;
    // Our own controls and message boxes have the version 6 common controls; the components'
    // windows, and our window itself, do not.
    ActivationContext ownControls_;
    const CommonControls commonControls_{ownControls_};
    HWND window_ = nullptr;
    HWND cmdTEST_ = nullptr;
    HWND cmdCancel_ = nullptr;
    HWND Text1_ = nullptr;
    HWND Label1_ = nullptr;
    HWND lastFocus_ = nullptr;
    LogBox log_;
    UniqueFont windowFont_;
    UniqueFont logFont_;

    WindowState state_;
    ComFactory factory_;
    RegistrySettingsStore settings_;
    bool jobRunning_ = false;
    bool cancelled_ = false;
    bool unhandledError_ = false;
    // Errors of the Test action, shown once no job is running below the handler.
    std::vector<std::wstring> testErrors_;
};

// Runs the program's window until it is gone and returns the exit status. The component objects
// are released and OLE is ended by the time it returns.
int RunMainWindow(HINSTANCE instance, bool exitGuardStarted);

} // namespace brevanto
