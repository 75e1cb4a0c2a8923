#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevanto {

// The folders an absolute path passes through, from the first below its root down to the path
// itself, so that each can be looked at in turn: C:\Data\Dumps gives C:\Data and C:\Data\Dumps;
// \\server\share\Dumps gives \\server\share\Dumps (a share, like a drive, is the root a walk
// starts from; so are \\?\C: and \\?\UNC\server\share). Doubled and trailing backslashes are
// dropped. A path with no root gives its folders from its first one. Windows-free.
std::vector<std::wstring> FolderLevels(std::wstring_view path);

} // namespace brevanto
