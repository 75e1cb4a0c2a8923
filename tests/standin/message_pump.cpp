#include "message_pump.h"

namespace brevanto::standin {

bool PumpMessagesFor(DWORD milliseconds, QuitHandling quit) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                if (quit == QuitHandling::Swallow)
                    continue;
                PostQuitMessage(static_cast<int>(message.wParam));
                return false;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return true;
        // MWMO_INPUTAVAILABLE: also wake for input that arrived before this wait began.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

} // namespace brevanto::standin
