#include "host_window.h"

#include <iterator>

namespace brevanto::standin {
namespace {

constexpr wchar_t kHostWindowClass[] = L"BrevantoMainWindow";

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

} // namespace

bool IsInThisProcess(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

HWND FindHostWindow() {
    // Another launcher may be running on the same desktop.
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, kHostWindowClass, nullptr))) {
        if (IsInThisProcess(window))
            return window;
    }
    return nullptr;
}

HWND FindPushButton(HWND window, const wchar_t* text) {
    ButtonSearch search{text};
    EnumChildWindows(window, &CheckChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace brevanto::standin
