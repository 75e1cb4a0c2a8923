#include "platform/base/folder_levels.h"

#include <optional>

#include "report/same_text.h"

namespace brevanto {
namespace {

constexpr std::wstring_view kSeparators = L"\\/";

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Where the names below the root begin.
std::size_t RootLength(std::wstring_view path) {
    std::size_t at = 0;
    std::size_t shareNames = 0; // server and share, each ending the root
    if (StartsWith(path, L"\\\\?\\UNC\\")) {
        at = 8;
        shareNames = 2;
    } else if (StartsWith(path, L"\\\\?\\")) {
        at = 4;
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        at = 2;
        shareNames = 2;
    }
    if (shareNames) {
        for (std::size_t name = 0; name < shareNames && at < path.size(); ++name) {
            const auto end = path.find_first_of(kSeparators, at);
            at = end == std::wstring_view::npos ? path.size() : end + 1;
        }
        return at;
    }
    if (path.size() >= at + 2 && path[at + 1] == L':')
        return at + 2;
    return at;
}

// The rest of path after folder and a separator, when path is that folder or lies below it.
std::optional<std::wstring_view> Below(std::wstring_view path, std::wstring_view folder) {
    if (path.size() < folder.size() || !SameText(path.substr(0, folder.size()), folder))
        return std::nullopt;
    const std::wstring_view rest = path.substr(folder.size());
    if (rest.empty())
        return rest;
    if (!IsSeparator(rest.front()))
        return std::nullopt;
    return rest.substr(1);
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

} // namespace

std::vector<std::wstring> FolderLevels(std::wstring_view path) {
    const std::size_t rootLength = RootLength(path);
    std::wstring current(path.substr(0, rootLength));
    while (!current.empty() && IsSeparator(current.back()) && current.size() > 2)
        current.pop_back();
    std::vector<std::wstring> levels;
    std::size_t at = rootLength;
    while (at < path.size()) {
        const auto end = path.find_first_of(kSeparators, at);
        const std::wstring_view name =
            path.substr(at, end == std::wstring_view::npos ? std::wstring_view::npos : end - at);
        if (!name.empty()) {
            if (!current.empty())
                current += L'\\';
            current += name;
            levels.push_back(current);
        }
        if (end == std::wstring_view::npos)
            break;
        at = end + 1;
    }
    return levels;
}

std::vector<std::wstring> LevelsFromDriveRoot(std::wstring_view fullPath) {
    if (fullPath.size() < 3 || !IsDriveLetter(fullPath[0]) || fullPath[1] != L':' ||
        !IsSeparator(fullPath[2]))
        return {};
    std::vector<std::wstring> levels{std::wstring(fullPath.substr(0, 2)) + L"\\"};
    for (std::wstring& level : FolderLevels(fullPath))
        levels.push_back(std::move(level));
    return levels;
}

std::wstring DosPathOfFinalPath(std::wstring_view finalPath) {
    if (StartsWith(finalPath, L"\\\\?\\UNC\\"))
        return L"\\\\" + std::wstring(finalPath.substr(8));
    if (StartsWith(finalPath, L"\\\\?\\"))
        return std::wstring(finalPath.substr(4));
    return std::wstring(finalPath);
}

std::wstring Wow64RedirectedPath(std::wstring_view fullPath, std::wstring_view windowsFolder) {
    std::wstring windows(windowsFolder);
    while (!windows.empty() && IsSeparator(windows.back()))
        windows.pop_back();
    if (windows.empty())
        return std::wstring(fullPath);
    const std::wstring_view exempt[] = {L"catroot",      L"catroot2", L"driverstore",
                                        L"drivers\\etc", L"logfiles", L"spool"};
    for (const std::wstring_view system : {L"\\System32", L"\\lastgood\\System32"}) {
        const std::wstring folder = windows + std::wstring(system);
        const auto rest = Below(fullPath, folder);
        if (!rest)
            continue;
        for (const std::wstring_view name : exempt)
            if (Below(*rest, name))
                return std::wstring(fullPath);
        return folder.substr(0, folder.size() - 8) + L"SysWOW64" +
               std::wstring(fullPath.substr(folder.size()));
    }
    const std::wstring native = windows + L"\\Sysnative";
    if (Below(fullPath, native))
        return windows + L"\\System32" + std::wstring(fullPath.substr(native.size()));
    if (SameText(fullPath, windows + L"\\regedit.exe"))
        return windows + L"\\SysWOW64\\regedit.exe";
    return std::wstring(fullPath);
}

} // namespace brevanto
