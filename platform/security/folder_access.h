#pragma once

#include <string>

namespace brevanto {

// What this user may do with a folder, found without writing anything into it.
struct FolderAccess {
    bool exists = false;
    bool writable = false;          // this user's token is granted adding files to it
    bool underProgramFiles = false; // inside a Program Files folder, 32- or 64-bit
    bool elevated = false;          // this process runs elevated
};

FolderAccess InspectFolder(const std::wstring& path);

} // namespace brevanto
