#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevanto::runner {

// A whole file's bytes; nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Writes a whole file, replacing it; throws RunnerError when it cannot.
void WriteWholeFile(const std::wstring& path, std::string_view bytes);

// An entry of a folder, as FindFirstFile names it.
struct FolderEntry {
    std::wstring name;
    bool folder = false;
    bool link = false; // a junction or symbolic link: removed, never followed
};

// The entries of folder that match pattern ("*", "brevanto-*", "*.msi"), "." and ".." left out.
std::vector<FolderEntry> FolderEntries(const std::wstring& folder, const std::wstring& pattern);

// Removes a file, or a folder with everything in it; true when it is gone.
bool RemovePath(const std::wstring& path);

// Creates the folder and the folders above it that are missing; throws RunnerError when it cannot.
void CreateFolders(const std::wstring& path);

} // namespace brevanto::runner
