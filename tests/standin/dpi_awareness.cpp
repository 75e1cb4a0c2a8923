#include "dpi_awareness.h"

#include "journal_line.h"
#include "platform/base/system_function.h"

namespace brevanto::standin {
namespace {

constexpr std::string_view kNotAvailable = "n/a";
constexpr UINT kDefaultDpi = 96;

using GetThreadContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)();
using GetWindowContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
using GetAwarenessFunction = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

template <class Function> Function FindUserFunction(const char* name) {
    return SystemFunction<Function>(L"user32.dll", name);
}

std::string_view AwarenessOf(DPI_AWARENESS_CONTEXT context) {
    const auto getAwareness =
        FindUserFunction<GetAwarenessFunction>("GetAwarenessFromDpiAwarenessContext");
    if (!getAwareness)
        return kNotAvailable;
    return DpiAwarenessName(static_cast<int>(getAwareness(context)));
}

} // namespace

std::string_view ThreadDpiAwareness() {
    const auto getContext =
        FindUserFunction<GetThreadContextFunction>("GetThreadDpiAwarenessContext");
    return getContext ? AwarenessOf(getContext()) : kNotAvailable;
}

std::string_view WindowDpiAwareness(HWND window) {
    const auto getContext =
        FindUserFunction<GetWindowContextFunction>("GetWindowDpiAwarenessContext");
    return getContext ? AwarenessOf(getContext(window)) : kNotAvailable;
}

UINT WindowDpi(HWND window) {
    const auto getDpi = FindUserFunction<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = getDpi ? getDpi(window) : 0;
    return dpi != 0 ? dpi : kDefaultDpi;
}

} // namespace brevanto::standin
