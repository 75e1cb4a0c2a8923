#include "button_click.h"

#include <windows.h>

#include <string>

namespace brevanto::standin {
namespace {

constexpr wchar_t kLauncherCaption[] = L"Lab Report Generator EXE";

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

bool IsPushButton(HWND window) {
    wchar_t className[16] = {};
    if (!GetClassNameW(window, className, static_cast<int>(std::size(className))) ||
        CompareStringOrdinal(className, -1, L"Button", -1, TRUE) != CSTR_EQUAL)
        return false;
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

struct ButtonSearch {
    const wchar_t* text;
    HWND found = nullptr;
};

BOOL CALLBACK CheckChild(HWND child, LPARAM context) {
    auto& search = *reinterpret_cast<ButtonSearch*>(context);
    if (IsPushButton(child) && WindowText(child) == search.text) {
        search.found = child;
        return FALSE;
    }
    return TRUE;
}

HWND FindButton(HWND window, const wchar_t* text) {
    ButtonSearch search{text};
    EnumChildWindows(window, &CheckChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsOurs(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

struct WindowSearch {
    const wchar_t* buttonText;
    HWND captioned = nullptr;
    HWND withButton = nullptr; // first visible window of ours that has the button
};

BOOL CALLBACK CheckTopLevel(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    if (!IsOurs(window))
        return TRUE;
    if (WindowText(window) == kLauncherCaption) {
        search.captioned = window;
        return FALSE;
    }
    if (!search.withButton && IsWindowVisible(window) && FindButton(window, search.buttonText))
        search.withButton = window;
    return TRUE;
}

} // namespace

bool PostButtonClick(ClickTarget target) {
    const wchar_t* text = target == ClickTarget::Cancel ? L"&Cancel" : L"Test";
    WindowSearch search{text};
    EnumWindows(&CheckTopLevel, reinterpret_cast<LPARAM>(&search));
    const HWND window = search.captioned ? search.captioned : search.withButton;
    const HWND button = window ? FindButton(window, text) : nullptr;
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

} // namespace brevanto::standin
