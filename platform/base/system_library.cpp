#include "platform/base/system_library.h"

#include <string>

namespace brevanto {

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (const HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    if (GetLastError() != ERROR_INVALID_PARAMETER)
        return nullptr;
    // A Windows 7 without update KB2533623 knows no search flags: the full path, which no
    // activation context redirects (comctl32 then comes in its classic version).
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return nullptr;
    return LoadLibraryW((std::wstring(system, length) + L"\\" + name).c_str());
}

} // namespace brevanto
