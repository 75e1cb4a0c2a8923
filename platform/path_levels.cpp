#include "platform/path_levels.h"

namespace brevanto {
namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Where the names below the root begin, and the root as it is written.
std::size_t RootLength(std::wstring_view path) {
    std::size_t at = 0;
    std::size_t shareNames = 0; // server and share, each ending the root
    if (StartsWith(path, L"\\\\?\\UNC\\")) {
        at = 8;
        shareNames = 2;
    } else if (StartsWith(path, L"\\\\?\\")) {
        at = 4;
    } else if (StartsWith(path, L"\\\\")) {
        at = 2;
        shareNames = 2;
    }
    if (shareNames) {
        for (std::size_t name = 0; name < shareNames && at < path.size(); ++name) {
            const auto end = path.find(L'\\', at);
            at = end == std::wstring_view::npos ? path.size() : end + 1;
        }
        return at;
    }
    if (path.size() >= at + 2 && path[at + 1] == L':')
        return at + 2;
    return at;
}

} // namespace

std::vector<std::wstring> FolderLevels(std::wstring_view path) {
    const std::size_t rootLength = RootLength(path);
    std::wstring current(path.substr(0, rootLength));
    while (!current.empty() && current.back() == L'\\' && current.size() > 2)
        current.pop_back();
    std::vector<std::wstring> levels;
    std::size_t at = rootLength;
    while (at < path.size()) {
        const auto end = path.find(L'\\', at);
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

} // namespace brevanto
