#include "platform/base/nt_path.h"

namespace brevanto {
namespace {

wchar_t Folded(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Whether path starts with prefix, ignoring case, and the prefix ends at a backslash of path.
bool StartsWithFolder(std::wstring_view path, std::wstring_view prefix) {
    if (prefix.empty() || path.size() <= prefix.size() || path[prefix.size()] != L'\\')
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Folded(path[i]) != Folded(prefix[i]))
            return false;
    }
    return true;
}

std::size_t Write(std::wstring_view head, std::wstring_view rest, wchar_t* out,
                  std::size_t capacity) {
    const std::size_t length = head.size() + rest.size();
    if (length + 1 > capacity)
        return 0;
    std::size_t at = 0;
    for (const wchar_t c : head)
        out[at++] = c;
    for (const wchar_t c : rest)
        out[at++] = c;
    out[at] = L'\0';
    return length;
}

} // namespace

std::size_t DosPathOf(std::wstring_view ntPath, std::span<const DriveDevice> drives, wchar_t* out,
                      std::size_t capacity) {
    constexpr std::wstring_view kDosDevicesUnc = L"\\??\\UNC";
    constexpr std::wstring_view kDosDevices = L"\\??";
    constexpr std::wstring_view kMup = L"\\Device\\Mup";
    if (StartsWithFolder(ntPath, kDosDevicesUnc))
        return Write(L"\\", ntPath.substr(kDosDevicesUnc.size()), out, capacity);
    if (StartsWithFolder(ntPath, kDosDevices))
        return Write(L"", ntPath.substr(kDosDevices.size() + 1), out, capacity);
    if (StartsWithFolder(ntPath, kMup))
        return Write(L"\\", ntPath.substr(kMup.size()), out, capacity);
    for (const DriveDevice& drive : drives) {
        if (StartsWithFolder(ntPath, drive.device)) {
            const wchar_t head[] = {drive.letter, L':'};
            return Write(std::wstring_view(head, 2), ntPath.substr(drive.device.size()), out,
                         capacity);
        }
    }
    return Write(L"", ntPath, out, capacity);
}

} // namespace brevanto
