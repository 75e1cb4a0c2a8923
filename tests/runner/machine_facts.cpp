#include "tests/runner/machine_facts.h"

#include <windows.h>

#include <cstdio>

#include "platform/base/system_function.h"
#include "platform/base/utf8.h"
#include "platform/base/windows_version.h"
#include "platform/registry/machine_registry.h"
#include "platform/registry/registry_value.h"
#include "platform/security/accounts.h"

namespace brevanto::runner {
namespace {

std::string SystemText() {
    std::string text = Utf8(WindowsVersionText());
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    if (const auto get = SystemFunction<RtlGetVersion>(L"ntdll.dll", "RtlGetVersion");
        get && get(&info) == 0)
        text += info.wProductType == VER_NT_WORKSTATION ? ", workstation" : ", server";
    const UniqueRegistryKey current =
        OpenMachineKey(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    if (const auto revision = TryReadRegistryNumber(current.Get(), L"UBR"))
        text.append(", update build revision ").append(std::to_string(*revision));
    const auto edition = TryReadRegistryText(current.Get(), L"EditionID", Expansion::AsStored);
    if (edition && !edition->empty())
        text.append(", ").append(Utf8(*edition));
    const auto display = TryReadRegistryText(current.Get(), L"DisplayVersion", Expansion::AsStored);
    if (display && !display->empty())
        text.append(" ").append(Utf8(*display));
    text += SystemIs64Bit() ? ", 64-bit" : ", 32-bit";
    return text;
}

std::string ElevationText() {
    std::string text = ProcessIsElevated() ? "yes" : "no";
    if (const auto type = ProcessElevationType())
        text += *type == TokenElevationTypeFull      ? " (a split token, elevated)"
                : *type == TokenElevationTypeLimited ? " (a split token, limited)"
                                                     : " (no split token)";
    return text;
}

std::string UacFact() {
    const UniqueRegistryKey policies =
        OpenMachineKey(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System");
    const auto lua = TryReadRegistryNumber(policies.Get(), L"EnableLUA");
    const auto consent = TryReadRegistryNumber(policies.Get(), L"ConsentPromptBehaviorAdmin");
    return UacText(lua ? std::optional<unsigned long>(*lua) : std::nullopt,
                   consent ? std::optional<unsigned long>(*consent) : std::nullopt);
}

std::string DepFact() {
    using GetPolicy = DEP_SYSTEM_POLICY_TYPE(WINAPI*)();
    const auto get = SystemFunction<GetPolicy>(L"kernel32.dll", "GetSystemDEPPolicy");
    return get ? DepPolicyText(static_cast<int>(get())) : "unknown (no GetSystemDEPPolicy)";
}

std::string DpiFact() {
    using GetDpiForSystem = UINT(WINAPI*)();
    if (const auto get = SystemFunction<GetDpiForSystem>(L"user32.dll", "GetDpiForSystem"))
        return std::to_string(get());
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return std::to_string(dpi);
}

std::string LanguageName(LANGID language) {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(language, SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0))
        return Utf8(name);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(language));
    return hex;
}

std::string SessionFact() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    std::string text = std::to_string(session);
    if (session == 0)
        text += " (services' session: no interactive desktop)";
    else if (session == WTSGetActiveConsoleSessionId())
        text += " (the console's)";
    return text;
}

std::string ObjectName(HANDLE object) {
    wchar_t name[256] = {};
    DWORD needed = 0;
    if (!object || !GetUserObjectInformationW(object, UOI_NAME, name, sizeof name, &needed))
        return "unknown";
    return Utf8(name);
}

std::string ClockFact() {
    DWORD adjustment = 0;
    DWORD increment = 0;
    BOOL disabled = FALSE;
    if (!GetSystemTimeAdjustment(&adjustment, &increment, &disabled))
        return "unknown";
    return ClockTickText(increment);
}

} // namespace

bool SystemIs64Bit() {
    if (sizeof(void*) == 8)
        return true;
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::vector<Fact> ReadMachineFacts() {
    return {
        {"System", "system", SystemText()},
        {"Under Wine", "wine", RunsUnderWine() ? "yes" : "no"},
        {"Runner", "runner", sizeof(void*) == 8 ? "x64" : "i686"},
        {"Elevated", "elevated", ElevationText()},
        {"UAC", "uac", UacFact()},
        {"DEP policy", "dep", DepFact()},
        {"System DPI", "dpi", DpiFact()},
        {"UI language", "uiLanguage",
         LanguageName(GetUserDefaultUILanguage()) + " (system " +
             LanguageName(GetSystemDefaultUILanguage()) + ")"},
        {"Session", "session", SessionFact()},
        {"Desktop", "desktop",
         ObjectName(GetProcessWindowStation()) + "\\" +
             ObjectName(GetThreadDesktop(GetCurrentThreadId()))},
        {"Clock tick", "clockTick", ClockFact()},
    };
}

} // namespace brevanto::runner
