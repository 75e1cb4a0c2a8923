#pragma once

#include <string>
#include <string_view>
#include <vector>

// The folders on the way to a folder, and the path GetFinalPathNameByHandle gives, apart from the
// calls, so that the rules are tested without Windows.
namespace brevanto {

// The folders an absolute path passes through, from the first below its root down to the path
// itself, so that each can be looked at in turn: C:\Data\Dumps gives C:\Data and C:\Data\Dumps;
// \\server\share\Dumps gives \\server\share\Dumps (a share, like a drive, is the root a walk
// starts from; so are \\?\C: and \\?\UNC\server\share). Doubled and trailing separators are
// dropped, and a forward slash separates as a backslash does. A path with no root gives its
// folders from its first one.
std::vector<std::wstring> FolderLevels(std::wstring_view path);

// Each folder from the drive's root down to the folder of a full path with a drive letter, the
// root with its backslash and the others without: "C:\Lab\Brevanto\" gives "C:\", "C:\Lab" and
// "C:\Lab\Brevanto". Empty for a path that does not start with a drive's root.
std::vector<std::wstring> LevelsFromDriveRoot(std::wstring_view fullPath);

// A path as GetFinalPathNameByHandle gives it with VOLUME_NAME_DOS ("\\?\C:\Lab",
// "\\?\UNC\server\share") in the form the path was asked for ("C:\Lab", "\\server\share").
std::wstring DosPathOfFinalPath(std::wstring_view finalPath);

// The path a 32-bit process on 64-bit Windows opens for a full path, where the file system
// redirector sends it: <windows>\System32 and <windows>\lastgood\System32 to their SysWOW64 (but
// for the folders below System32 it leaves alone: catroot, catroot2, driverstore, drivers\etc,
// logfiles and spool), <windows>\Sysnative to the real System32, and <windows>\regedit.exe to
// SysWOW64's. Any other path is itself. Names compare without regard to case.
std::wstring Wow64RedirectedPath(std::wstring_view fullPath, std::wstring_view windowsFolder);

} // namespace brevanto
