#include "platform/base/windows_version.h"

#include <windows.h>

#include "platform/base/system_function.h"

namespace brevanto {
namespace {

// Wine's ntdll exports wine_get_version; Windows' does not.
using WineGetVersion = const char*(CDECL*)();
WineGetVersion WineVersionFunction() {
    return SystemFunction<WineGetVersion>(L"ntdll.dll", "wine_get_version");
}

} // namespace

std::wstring WindowsVersionText() {
    // GetVersionEx answers what the manifest claims to support; RtlGetVersion the truth.
    using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    std::wstring text = L"unknown";
    if (const auto get = SystemFunction<RtlGetVersion>(L"ntdll.dll", "RtlGetVersion");
        get && get(&info) == 0)
        text = std::to_wstring(info.dwMajorVersion) + L"." + std::to_wstring(info.dwMinorVersion) +
               L"." + std::to_wstring(info.dwBuildNumber);
    if (const auto wine = WineVersionFunction()) {
        const std::string version = wine();
        text += L" (Wine " + std::wstring(version.begin(), version.end()) + L")";
    }
    return text;
}

bool RunsUnderWine() {
    return WineVersionFunction() != nullptr;
}

} // namespace brevanto
