// bench_floor.exe: the least a Win32 program does to show a window, for the start-up and memory
// floor that Wine and the machine set. Registers a class, shows a window and ends itself 100 ms
// later from a timer.
#include <windows.h>

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

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (!brevanto::bench::RegisterPlainWindowClass(instance, kClassName, WindowProc))
        return 1;
    HWND window = CreateWindowExW(0, kClassName, L"Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 577, 404, nullptr, nullptr, instance, nullptr);
    if (!window)
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
