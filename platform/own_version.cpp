#include "platform/own_version.h"

#include <windows.h>

#include <vector>

namespace brevanto {

std::wstring OwnFileVersion() {
    // From the exe's own resource, already mapped: no file is read.
    const HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    const HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes)
        return std::wstring();
    // VerQueryValue may write into the block it is given.
    std::vector<BYTE> record(bytes, bytes + SizeofResource(nullptr, resource));
    void* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(record.data(), L"\\StringFileInfo\\040904B0\\FileVersion", &text,
                        &length) ||
        length == 0)
        return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(text), length - 1);
}

unsigned long long ProcessAgeMs() {
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return ticks(now) > ticks(created) ? (ticks(now) - ticks(created)) / 10000 : 0;
}

} // namespace brevanto
