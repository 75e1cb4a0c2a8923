#include "platform/base/program_directory.h"

#include <windows.h>

namespace brevanto {

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        // Truncated: a long path; try again with room for it.
        path.resize(path.size() * 2);
    }
    return path;
}

std::wstring ProgramDirectory() {
    std::wstring path = ProgramPath();
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return path;
    path.resize(slash);
    if (path.size() == 2 && path[1] == L':')
        path += L'\\';
    return path;
}

std::wstring ExeFileName() {
    const std::wstring path = ProgramPath();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace brevanto
