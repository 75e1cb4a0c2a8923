#include "platform/base/file_paths.h"

#include "platform/base/folder_levels.h"

namespace brevanto {

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::wstring(full, length) : path;
}

std::wstring LongPath(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetLongPathNameW(path.c_str(), full, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(full, length) : path;
}

std::wstring AsThisProcessOpens(const std::wstring& fullPath) {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64)
        return fullPath;
    // The shared Windows folder: GetWindowsDirectory gives a terminal server user's own.
    wchar_t windows[MAX_PATH];
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return fullPath;
    return Wow64RedirectedPath(fullPath, std::wstring_view(windows, length));
}

std::wstring FinalPath(HANDLE file) {
    wchar_t path[MAX_PATH * 2];
    const DWORD length = GetFinalPathNameByHandleW(file, path, static_cast<DWORD>(std::size(path)),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    return length && length < std::size(path) ? DosPathOfFinalPath(std::wstring(path, length))
                                              : std::wstring();
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsUnder(const std::wstring& path, std::wstring folder) {
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    if (folder.size() < 3 || path.size() < folder.size())
        return false;
    if (CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                             static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL)
        return false;
    return path.size() == folder.size() || path[folder.size()] == L'\\';
}

} // namespace brevanto
