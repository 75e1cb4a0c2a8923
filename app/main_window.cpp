#include "app/main_window.h"

#include <commctrl.h>

#include <exception>

#include "app/core/exit_status.h"
#include "app/core/twips.h"
#include "app/run_end_report.h"
#include "app/window_layout.h"
#include "platform/base/program_directory.h"
#include "platform/com/component_call.h"
#include "platform/com/message_pump.h"
#include "platform/unattended/crash_handling.h"
#include "platform/unattended/exit_guard.h"
#include "platform/window/dpi.h"
#include "platform/window/window_text.h"
#include "report/caught_error.h"
#include "report/display_text.h"
#include "report/report_job.h"
#include "report/run_error.h"
#include "report/test_action.h"

namespace brevanto {
namespace {

constexpr UINT_PTR kTimer1ExitTimer = 1;
constexpr UINT_PTR kTimer2StartTimer = 2;
constexpr UINT kExitTimerArmedMs = 5000;
constexpr UINT kStartTimerMs = 50;
constexpr UINT kShowTestErrors = WM_APP + 1;

// The one window of the process, for the thread timer that ends a message box at the exit.
frmBrevanto* g_mainWindow = nullptr;

void RegisterWindowClass(HINSTANCE instance, WNDPROC windowProc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassExW(&windowClass);
}

} // namespace

frmBrevanto::frmBrevanto(HINSTANCE instance, bool exitGuardStarted)
    : instance_(instance), ownControls_(instance, kOwnControlsManifest) {
    g_mainWindow = this;
    WatchRunState(&state_);
    // The guard holds the exit's promise from the start, also for a start-up that fails.
    if (!exitGuardStarted)
        ReportUnhandledError(L"The exit guard could not be started.");
    RegisterWindowClass(instance_, &frmBrevanto::WindowProc);
    {
        // Outside our activation context: Windows activates the context a window was created in
        // around every call of its procedure, and so around the components' code that our
        // handlers and their event runs reach. Only our controls are made inside it (OnCreate).
        const PerMonitorDpiScope awareness;
        CreateWindowExW(kMainWindowExStyle, kMainWindowClass, kMainWindowCaption, kMainWindowStyle,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                        nullptr, instance_, this);
    }
    if (!window_)
        ReportUnhandledError(L"The main window could not be created.");
    Form_Load();
}

frmBrevanto::~frmBrevanto() {
    if (window_)
        DestroyWindow(window_);
    WatchRunState(nullptr);
    g_mainWindow = nullptr;
}

int frmBrevanto::Run() {
    MSG msg;
    while (window_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (window_ && IsDialogMessageW(window_, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // The objects are released after this, still watched by the exit guard.
    const int status = ExitStatusFor(Facts(), EndedBy::Cancel);
    SetExitGuardStatus(status);
    return status;
}

int RunMainWindow(HINSTANCE instance, bool exitGuardStarted) {
    frmBrevanto window(instance, exitGuardStarted);
    return window.Run();
}

std::wstring frmBrevanto::LogText() const {
    return log_.Text();
}

void frmBrevanto::SetLogText(const std::wstring& text) {
    log_.SetText(text);
}

void frmBrevanto::PaintLog() {
    log_.Paint();
}

std::wstring frmBrevanto::Caption() const {
    return WindowText(window_);
}

void frmBrevanto::SetCaption(const std::wstring& caption) {
    NoteCaption(caption);
    SetWindowTextW(window_, caption.c_str());
}

void frmBrevanto::DoEvents() {
    // The job may have just reached its outcome.
    PublishExitStatus();
    RunPendingMessages(window_);
}

void frmBrevanto::NoteRequestNumber(const std::wstring& requestNumber) {
    brevanto::NoteRequestNumber(requestNumber);
}

void frmBrevanto::ArmExitTimer() {
    PublishExitStatus();
    // Setting the timer again restarts its count from the new interval.
    if (window_) {
        SetTimer(window_, kTimer1ExitTimer, kExitTimerArmedMs, nullptr);
        MoveExitDue(kExitTimerArmedMs);
    }
}

RunFacts frmBrevanto::Facts() const {
    return RunFacts{state_.Outcome, cancelled_, unhandledError_};
}

void frmBrevanto::PublishExitStatus() {
    SetExitGuardStatus(ExitStatusFor(Facts(), EndedBy::ExitGuard));
}

LRESULT CALLBACK frmBrevanto::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<frmBrevanto*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        ScaleNonClientAreaOfPerMonitorV1(window);
    }
    auto* self = reinterpret_cast<frmBrevanto*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    // Our handlers run in our window's awareness, also where the system does not switch the
    // thread to it around the procedure (before Windows 10 1607, and Wine).
    const ThreadDpiScope awareness(WindowDpiAwareness(window));
    // No error may leave a window procedure: an error no handler caught ends the program.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        self->ReportUnhandledError(CaughtErrorText({L"An error of unknown kind occurred."}));
    }
}

LRESULT frmBrevanto::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kCmdCancelId)
            cmdCancel_Click();
        else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kCmdTestId)
            cmdTEST_Click();
        return 0;
    case WM_TIMER:
        if (wParam == kTimer1ExitTimer)
            Timer1_Timer();
        else if (wParam == kTimer2StartTimer)
            Timer2_Timer();
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        cmdCancel_Click();
        return 0;
    case kShowTestErrors:
        OnShowTestErrors();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY: {
        // The default handling still needs the window; our pointers to it go after.
        const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
        OnNcDestroy();
        return result;
    }
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void frmBrevanto::OnCreate() {
    CreateControls();
    ApplyLayout(WindowDpi(window_));
    // Both timers count from the window's creation; so does the exit guard, which holds the exit
    // timer's promise when a component call keeps this thread from serving it.
    if (!SetTimer(window_, kTimer2StartTimer, kStartTimerMs, nullptr))
        throw RunError(L"The start timer could not be created.");
    if (!SetTimer(window_, kTimer1ExitTimer, kExitTimerMs, nullptr))
        throw RunError(L"The exit timer could not be created.");
    MoveExitDue(kExitTimerMs);
}

void frmBrevanto::CreateControls() {
    {
        // The controls take their version from the context active when they are created.
        const ActivationScope context(ownControls_);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
        commonControls_.InitCommonControlsEx(&controls);
        CreateLayoutControls(window_, instance_);
    }
    cmdTEST_ = GetDlgItem(window_, kCmdTestId);
    cmdCancel_ = GetDlgItem(window_, kCmdCancelId);
    Text1_ = GetDlgItem(window_, kText1Id);
    Label1_ = GetDlgItem(window_, kLabel1Id);
    log_.Attach(Text1_, commonControls_);
    // The log has no length limit for typing either.
    SendMessageW(Text1_, EM_SETLIMITTEXT, 0, 0);

    // Keyboard order follows the z-order: Label1, cmdCancel, Text1, cmdTEST.
    constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(Label1_, HWND_TOP, 0, 0, 0, 0, kKeepPlace);
    SetWindowPos(cmdCancel_, Label1_, 0, 0, 0, 0, kKeepPlace);
    SetWindowPos(Text1_, cmdCancel_, 0, 0, 0, 0, kKeepPlace);
    SetWindowPos(cmdTEST_, Text1_, 0, 0, 0, 0, kKeepPlace);
}

void frmBrevanto::ApplyLayout(UINT dpi) {
    UniqueFont windowFont(CreateUiFont(kFontFace, FontHeightPixels(kWindowFontCentipoints, dpi)));
    UniqueFont logFont(CreateUiFont(kFontFace, FontHeightPixels(kLogFontCentipoints, dpi)));
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont.Get()), FALSE);
    ApplyControlLayout(window_, dpi, windowFont.Get(), logFont.Get());
    // Only now that no control uses the old fonts may they go.
    windowFont_ = std::move(windowFont);
    logFont_ = std::move(logFont);

    const SIZE client{TwipsToPixels(kClientWidthTwips, dpi),
                      TwipsToPixels(kClientHeightTwips, dpi)};
    const SIZE outer = WindowSizeForClient(client, kMainWindowStyle, kMainWindowExStyle, dpi);
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmBrevanto::OnActivate(bool active) {
    // Like a dialog, the window gives the focus back to the control that had it.
    if (!active) {
        lastFocus_ = GetFocus();
    } else if (lastFocus_ && IsChild(window_, lastFocus_)) {
        SetFocus(lastFocus_);
    }
}

void frmBrevanto::OnDpiChanged(UINT dpi, const RECT& suggested) {
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyLayout(dpi);
}

void frmBrevanto::OnDestroy() {
    KillTimer(window_, kTimer1ExitTimer);
    KillTimer(window_, kTimer2StartTimer);
    // The exit guard keeps its time: a call that swallows the quit ends by it.
    cancelled_ = true;
    PublishExitStatus();
    PostQuitMessage(0);
}

void frmBrevanto::OnNcDestroy() {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = cmdTEST_ = cmdCancel_ = Text1_ = Label1_ = lastFocus_ = nullptr;
}

void frmBrevanto::Form_Load() {
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    SetFocus(cmdCancel_);
    DoEvents();
}

void frmBrevanto::Timer2_Timer() {
    KillTimer(window_, kTimer2StartTimer);
    jobRunning_ = true;
    GenerateReport(*this, settings_, factory_, ProgramDirectory());
    jobRunning_ = false;
    PublishExitStatus();
    if (window_ && !testErrors_.empty())
        PostMessageW(window_, kShowTestErrors, 0, 0);
}

void frmBrevanto::Timer1_Timer() {
    End(EndedBy::ExitTimer);
}

void frmBrevanto::cmdCancel_Click() {
    DestroyWindow(window_);
}

void frmBrevanto::cmdTEST_Click() {
    // The report classes' call may take long.
    PaintLog();
    try {
        RunTestReport(state_);
    } catch (const RunError& error) {
        // Shown later, so an unattended job below this click carries on.
        testErrors_.push_back(error.Description());
        if (!jobRunning_)
            PostMessageW(window_, kShowTestErrors, 0, 0);
    }
}

void frmBrevanto::OnShowTestErrors() {
    while (window_ && !jobRunning_ && !testErrors_.empty()) {
        const std::wstring description = testErrors_.front();
        testErrors_.erase(testErrors_.begin());
        ShowMessageBox(ForDisplay(description), Caption(), MB_OK | MB_ICONEXCLAMATION);
    }
}

void frmBrevanto::ShowMessageBox(const std::wstring& text, const std::wstring& title, UINT style) {
    // Nobody may answer the box: the log stays painted under it meanwhile.
    PaintLog();
    const ActivationScope context(ownControls_);
    const ThreadDpiScope awareness(WindowDpiAwareness(window_));
    // The box's own loop serves the exit timer; this thread timer stands in where there is
    // none, before the window or its timers exist.
    const UINT_PTR exitDue = SetTimer(nullptr, 0, ExitDueInMs(), &frmBrevanto::OnExitDueUnderBox);
    MessageBoxW(window_, text.c_str(), title.c_str(), style);
    if (exitDue)
        KillTimer(nullptr, exitDue);
}

void CALLBACK frmBrevanto::OnExitDueUnderBox(HWND, UINT, UINT_PTR, DWORD) {
    if (g_mainWindow)
        g_mainWindow->End(EndedBy::ExitTimer);
}

void frmBrevanto::End(EndedBy endedBy) {
    const int status = ExitStatusFor(Facts(), endedBy);
    // The component objects are released and OLE ended as the program ends, still watched by
    // the exit guard, unless a component's own call is still on the stack below this handler.
    SetExitGuardStatus(status);
    if (ActiveComponentCalls() == 0) {
        // Releasing the objects and ending OLE, which unloads the components, run their code:
        // in their world, as a call does, not in that of the handler or message box below.
        const ComponentWorldScope world;
        state_.LabResultViewer.reset();
        state_.User.reset();
        ole_.Uninitialize();
    }
    ReportRunEnd(status);
    // No DLL detach code runs: a component's might never return.
    EndProcessNow(static_cast<UINT>(status));
}

void frmBrevanto::ReportUnhandledError(const std::wstring& description) {
    // From here on every end of the program, by the exit timer served under the message box or
    // by the exit guard, reports this error.
    unhandledError_ = true;
    NoteUnhandledError(ForDisplay(description));
    PublishExitStatus();
    // Nothing new starts under the report: the job waits on the start timer.
    if (window_)
        KillTimer(window_, kTimer2StartTimer);
    ShowMessageBox(L"Run-time error:\n\n" + ForDisplay(description), L"Brevanto",
                   MB_OK | MB_ICONSTOP);
    End(EndedBy::ExitTimer);
}

} // namespace brevanto
