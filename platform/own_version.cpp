#include "platform/own_version.h"

#include <windows.h>

#include <vector>

#include "platform/program_directory.h"

namespace brevanto {

std::wstring OwnFileVersion() {
    const std::wstring path = ProgramPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return std::wstring();
    std::vector<BYTE> record(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, record.data()))
        return std::wstring();
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
