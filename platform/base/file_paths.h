#pragma once

#include <windows.h>

#include <string>

namespace brevanto {

// The full path of a path as given (relative ones from the current folder), "." and ".." gone;
// the path itself when it cannot be made.
std::wstring FullPath(const std::wstring& path);

// The path with each name as the folder holding it spells it (no 8.3 short names), any link on
// the way left as it is: what FinalPath gives when nothing on the way is a link. The path itself
// when it cannot be read.
std::wstring LongPath(const std::wstring& path);

// The path this process opens for a full path: a 32-bit process on 64-bit Windows opens
// SysWOW64 where it asks for System32, as the file system redirector sends it (and so does Wine).
// Elsewhere the path itself.
std::wstring AsThisProcessOpens(const std::wstring& fullPath);

// The path of an open file or folder after every link on the way (GetFinalPathNameByHandle), in
// the form it was asked for ("C:\Lab", not "\\?\C:\Lab"); empty when it cannot be read.
std::wstring FinalPath(HANDLE file);

// Whether a full path is the folder or inside it, names compared without regard to case; a
// trailing backslash of the folder does not count. Never for a folder shorter than "C:\".
bool IsUnder(const std::wstring& path, std::wstring folder);

// Whether a file (not a folder) is at the path.
bool FileExists(const std::wstring& path);

// Whether two paths name the same place as Windows compares names: without regard to case.
bool SamePath(const std::wstring& a, const std::wstring& b);

} // namespace brevanto
