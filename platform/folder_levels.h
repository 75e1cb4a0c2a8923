#pragma once

#include <string>
#include <string_view>
#include <vector>

// The folders on the way to a folder, and the path GetFinalPathNameByHandle gives, apart from the
// calls, so that the rules are tested without Windows.
namespace brevanto {

// Each folder from the drive's root down to the folder of a full path with a drive letter, the
// root with its backslash and the others without: "C:\Lab\Brevanto\" gives "C:\", "C:\Lab" and
// "C:\Lab\Brevanto". Empty for a path that does not start with a drive's root.
std::vector<std::wstring> FolderLevels(std::wstring_view fullPath);

// A path as GetFinalPathNameByHandle gives it with VOLUME_NAME_DOS ("\\?\C:\Lab",
// "\\?\UNC\server\share") in the form the path was asked for ("C:\Lab", "\\server\share").
std::wstring DosPathOfFinalPath(std::wstring_view finalPath);

} // namespace brevanto
