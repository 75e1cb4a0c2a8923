#include "platform/folder_levels.h"

namespace brevanto {
namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

std::vector<std::wstring> FolderLevels(std::wstring_view fullPath) {
    std::vector<std::wstring> levels;
    const bool driveRoot = fullPath.size() >= 3 && fullPath[1] == L':' &&
                           IsSeparator(fullPath[2]) &&
                           ((fullPath[0] >= L'A' && fullPath[0] <= L'Z') ||
                            (fullPath[0] >= L'a' && fullPath[0] <= L'z'));
    if (!driveRoot)
        return levels;
    levels.push_back(std::wstring(fullPath.substr(0, 2)) + L"\\");
    std::wstring level = levels.back();
    for (std::size_t at = 3; at < fullPath.size();) {
        std::size_t end = at;
        while (end < fullPath.size() && !IsSeparator(fullPath[end]))
            ++end;
        if (end > at) {
            if (level.back() != L'\\')
                level += L'\\';
            level += fullPath.substr(at, end - at);
            levels.push_back(level);
        }
        at = end + 1;
    }
    return levels;
}

std::wstring DosPathOfFinalPath(std::wstring_view finalPath) {
    if (StartsWith(finalPath, L"\\\\?\\UNC\\"))
        return L"\\\\" + std::wstring(finalPath.substr(8));
    if (StartsWith(finalPath, L"\\\\?\\"))
        return std::wstring(finalPath.substr(4));
    return std::wstring(finalPath);
}

} // namespace brevanto
