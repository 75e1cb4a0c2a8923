#include "button_click.h"

#include "host_window.h"

#include <windows.h>

namespace brevanto::standin {
namespace {

constexpr wchar_t kLauncherCaption[] = L"Lab Report Generator EXE";

struct WindowSearch {
    const wchar_t* buttonText;
    HWND captioned = nullptr;
    HWND withButton = nullptr; // first visible window of ours that has the button
};

BOOL CALLBACK CheckTopLevel(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    if (!IsInThisProcess(window))
        return TRUE;
    if (WindowText(window) == kLauncherCaption) {
        search.captioned = window;
        return FALSE;
    }
    if (!search.withButton && IsWindowVisible(window) && FindPushButton(window, search.buttonText))
        search.withButton = window;
    return TRUE;
}

} // namespace

bool PostButtonClick(ClickTarget target) {
    const wchar_t* text = target == ClickTarget::Cancel ? L"&Cancel" : L"Test";
    WindowSearch search{text};
    EnumWindows(&CheckTopLevel, reinterpret_cast<LPARAM>(&search));
    const HWND window = search.captioned ? search.captioned : search.withButton;
    const HWND button = window ? FindPushButton(window, text) : nullptr;
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

} // namespace brevanto::standin
