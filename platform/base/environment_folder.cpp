#include "platform/base/environment_folder.h"

#include <windows.h>

namespace brevanto {

std::wstring EnvironmentFolder(const wchar_t* name) {
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

} // namespace brevanto
