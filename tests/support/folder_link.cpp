#include "tests/support/folder_link.h"

#include <windows.h>

#include <winioctl.h>

#include <cstring>
#include <vector>

#include "platform/base/program_directory.h"
#include "platform/base/unique_resource.h"

namespace brevanto::support {
namespace {

// REPARSE_DATA_BUFFER's mount point form (ntifs.h), which user-mode headers lack.
struct MountPointData {
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
    wchar_t paths[1];
};

bool MakeJunction(const std::wstring& link, const std::wstring& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr))
        return false;
    const UniqueFile folder(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
    // The substitute name in the NT form, then the name shown, each with its terminator.
    const std::wstring substitute = L"\\??\\" + target;
    const std::size_t pathBytes = (substitute.size() + 1 + target.size() + 1) * sizeof(wchar_t);
    std::vector<BYTE> buffer(offsetof(MountPointData, paths) + pathBytes);
    auto* data = reinterpret_cast<MountPointData*>(buffer.data());
    data->tag = IO_REPARSE_TAG_MOUNT_POINT;
    data->dataLength = static_cast<WORD>(buffer.size() - 8);
    data->substituteLength = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    data->printOffset = static_cast<WORD>(data->substituteLength + sizeof(wchar_t));
    data->printLength = static_cast<WORD>(target.size() * sizeof(wchar_t));
    std::memcpy(data->paths, substitute.c_str(), data->substituteLength);
    std::memcpy(data->paths + substitute.size() + 1, target.c_str(), data->printLength);
    DWORD returned = 0;
    if (folder &&
        DeviceIoControl(folder.Get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                        static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr))
        return true;
    RemoveDirectoryW(link.c_str());
    return false;
}

bool IsReparsePoint(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace

FolderLink::FolderLink(std::wstring in) {
    if (in.empty()) {
        wchar_t temp[MAX_PATH];
        in.assign(temp, GetTempPathW(MAX_PATH, temp));
    }
    if (!in.empty() && in.back() != L'\\')
        in += L'\\';
    const std::wstring folder = in + L"brevanto-link-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(GetTickCount64());
    if (CreateDirectoryW(folder.c_str(), nullptr)) {
        const std::wstring target = folder + L"\\target";
        CreateDirectoryW(target.c_str(), nullptr);
        if (MakeJunction(folder + L"\\linked", target)) {
            madeFolder_ = folder;
            link_ = folder + L"\\linked";
            target_ = target;
            return;
        }
        RemoveDirectoryW(target.c_str());
        RemoveDirectoryW(folder.c_str());
    }
    // The runner names the build's own where the tests run from a copy of it.
    wchar_t named[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"BREVANTO_LINK_FIXTURE", named, MAX_PATH);
    const std::wstring fixture = length && length < MAX_PATH
                                     ? std::wstring(named, length)
                                     : ProgramDirectory() + L"\\link-fixture";
    if (IsReparsePoint(fixture + L"\\linked")) {
        link_ = fixture + L"\\linked";
        target_ = fixture + L"\\target";
        return;
    }
    why_ = L"no junction can be made here, and the build made no link-fixture";
}

FolderLink::~FolderLink() {
    if (madeFolder_.empty())
        return;
    RemoveDirectoryW(link_.c_str()); // the junction itself, not what it leads to
    RemoveDirectoryW(target_.c_str());
    RemoveDirectoryW(madeFolder_.c_str());
}

} // namespace brevanto::support
