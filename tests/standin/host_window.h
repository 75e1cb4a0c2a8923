#pragma once

#include <windows.h>

#include <string>

#include "platform/window/window_text.h"

namespace brevanto::standin {

bool IsInThisProcess(HWND window);

// The launcher's main window in this process, found by its class; null when there is none.
HWND FindHostWindow();

// A push button with exactly this text among the window's descendants, or null.
HWND FindPushButton(HWND window, const wchar_t* text);

} // namespace brevanto::standin
