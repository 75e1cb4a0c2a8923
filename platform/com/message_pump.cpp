#include "platform/com/message_pump.h"

#include "platform/com/component_call.h"
#include "platform/window/dpi.h"

namespace brevanto {
namespace {

void Serve(MSG& msg, HWND dialogWindow) {
    // Windows runs a window's procedure in that window's own awareness (from 10 1607 on); Wine
    // leaves the thread as it is, so a message to a window is served in its awareness here. One
    // to no window, a thread timer's, stays in the components' world.
    const ThreadDpiScope awareness(WindowDpiAwareness(msg.hwnd));
    if (dialogWindow && IsWindow(dialogWindow) && IsDialogMessageW(dialogWindow, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

} // namespace

void RunPendingMessages(HWND dialogWindow) {
    const ComponentWorldScope world;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Serve(msg, dialogWindow);
    }
}

} // namespace brevanto
