#include "tests/runner/files.h"

#include <windows.h>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/runner/runner_error.h"

namespace brevanto::runner {

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[64 * 1024];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

void WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        ThrowRunnerError("cannot write " + Utf8(path), GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        ThrowRunnerError("cannot write " + Utf8(path), GetLastError());
}

std::vector<FolderEntry> FolderEntries(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW found{};
    const UniqueFind search(FindFirstFileW((folder + L"\\" + pattern).c_str(), &found));
    if (!search)
        return entries;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                               (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileW(search.Get(), &found));
    return entries;
}

bool RemovePath(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        for (const FolderEntry& entry : FolderEntries(path, L"*"))
            RemovePath(path + L"\\" + entry.name);
    SetFileAttributesW(path.c_str(), attributes & FILE_ATTRIBUTE_DIRECTORY
                                         ? FILE_ATTRIBUTE_DIRECTORY
                                         : FILE_ATTRIBUTE_NORMAL);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RemoveDirectoryW(path.c_str()) != FALSE;
    return DeleteFileW(path.c_str()) != FALSE;
}

void CreateFolders(const std::wstring& path) {
    if (CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return;
    const auto slash = path.find_last_of(L"\\/");
    if (GetLastError() != ERROR_PATH_NOT_FOUND || slash == std::wstring::npos || slash < 3)
        ThrowRunnerError("cannot create " + Utf8(path), GetLastError());
    CreateFolders(path.substr(0, slash));
    if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        ThrowRunnerError("cannot create " + Utf8(path), GetLastError());
}

} // namespace brevanto::runner
