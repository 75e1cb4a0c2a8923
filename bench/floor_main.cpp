// bench_floor.exe: the least a Win32 program does to show a window, for the start-up and memory
// floor that Wine and the machine set. Registers a class, shows a window and ends itself 100 ms
// later from a timer.
//
// Each option adds one thing Brevanto.exe cannot do without, so the bench can tell what Wine
// charges for it in the same run:
//   --thread    one more thread, waiting until the process ends, as the exit guard's does
//   --controls  Brevanto's controls, as version 6 common controls with the theme, made under the
//               same manifest; comctl32 is loaded only then, so the plain floor has none of it
#include <windows.h>

#include <commctrl.h>

#include <cwchar>

#include "app/window_layout.h"
#include "bench/window_class.h"

namespace {

constexpr wchar_t kClassName[] = L"BrevantoBenchFloor";
constexpr UINT_PTR kEndTimer = 1;
constexpr UINT kEndAfterMs = 100;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kEndTimer)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI WaitForEnd(void*) {
    Sleep(INFINITE);
    return 0;
}

// The exit guard's thread: the same small stack reservation.
bool StartWaitingThread() {
    const HANDLE thread = CreateThread(nullptr, 64 * 1024, &WaitForEnd, nullptr,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread)
        return false;
    CloseHandle(thread);
    return true;
}

// The manifest resource with the version 6 common controls, as Brevanto.exe has it.
HANDLE CreateOwnControlsContext(HINSTANCE instance) {
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = instance;
    context.lpResourceName = MAKEINTRESOURCEW(brevanto::kOwnControlsManifest);
    return CreateActCtxW(&context);
}

bool AddThemedControls(HINSTANCE instance, HWND window) {
    const HANDLE context = CreateOwnControlsContext(instance);
    ULONG_PTR cookie = 0;
    if (context == INVALID_HANDLE_VALUE || !ActivateActCtx(context, &cookie))
        return false;
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const HMODULE comctl32 = LoadLibraryW(L"comctl32.dll");
    const auto init = comctl32 ? reinterpret_cast<InitControls>(reinterpret_cast<void*>(
                                     GetProcAddress(comctl32, "InitCommonControlsEx")))
                               : nullptr;
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES};
    const bool initialised = init && init(&classes);
    if (initialised) {
        brevanto::CreateLayoutControls(window, instance);
        brevanto::ApplyControlLayout(window, 96, nullptr, nullptr);
    }
    DeactivateActCtx(0, cookie);
    return initialised && GetDlgItem(window, brevanto::kText1Id);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const bool thread = std::wcsstr(commandLine, L"--thread") != nullptr;
    const bool controls = std::wcsstr(commandLine, L"--controls") != nullptr;
    if (thread && !StartWaitingThread())
        return 1;
    if (!brevanto::bench::RegisterPlainWindowClass(instance, kClassName, WindowProc))
        return 1;
    HWND window = CreateWindowExW(0, kClassName, L"Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 577, 404, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    if (controls && !AddThemedControls(instance, window))
        return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetTimer(window, kEndTimer, kEndAfterMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
