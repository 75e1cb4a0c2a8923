#include "platform/security/folder_access.h"

#include <windows.h>

#include <vector>

#include "platform/base/environment_folder.h"
#include "platform/base/file_paths.h"
#include "platform/base/unique_resource.h"
#include "platform/security/accounts.h"

namespace brevanto {
namespace {

// Asks the folder's security whether this user may add a file to it: nothing is created.
bool MayAddFiles(const std::wstring& path) {
    const SECURITY_INFORMATION wanted =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetFileSecurityW(path.c_str(), wanted, nullptr, 0, &size);
    if (!size)
        return false;
    std::vector<BYTE> descriptor(size);
    if (!GetFileSecurityW(path.c_str(), wanted, descriptor.data(), size, &size))
        return false;

    UniqueHandle processToken;
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, processToken.Put()) ||
        !DuplicateToken(processToken.Get(), SecurityImpersonation, token.Put()))
        return false;
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                            FILE_ALL_ACCESS};
    DWORD access = FILE_ADD_FILE;
    MapGenericMask(&access, &mapping);
    PRIVILEGE_SET privileges{};
    DWORD privilegesSize = sizeof privileges;
    DWORD granted = 0;
    BOOL allowed = FALSE;
    return AccessCheck(descriptor.data(), token.Get(), access, &mapping, &privileges,
                       &privilegesSize, &granted, &allowed) &&
           allowed;
}

} // namespace

FolderAccess InspectFolder(const std::wstring& path) {
    FolderAccess access;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    access.exists =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    access.writable = access.exists && MayAddFiles(path);
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432"})
        access.underProgramFiles =
            access.underProgramFiles || IsUnder(path, EnvironmentFolder(name));
    access.elevated = ProcessIsElevated();
    return access;
}

} // namespace brevanto
