#include "platform/message_pump.h"

namespace brevanto {

void RunPendingMessages(HWND dialogWindow) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (dialogWindow && IsWindow(dialogWindow) && IsDialogMessageW(dialogWindow, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace brevanto
