#include "platform/base/folder_creation.h"

#include <sddl.h>

namespace brevanto {

UniqueLocal DescriptorFromSddl(const std::wstring& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (sddl.empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                            sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return UniqueLocal();
    return UniqueLocal(descriptor);
}

FolderMade MakeOneFolder(const std::wstring& path, PSECURITY_DESCRIPTOR descriptor) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    if (CreateDirectoryW(path.c_str(), descriptor ? &attributes : nullptr))
        return FolderMade::Made;
    return GetLastError() == ERROR_ALREADY_EXISTS ? FolderMade::There : FolderMade::Failed;
}

} // namespace brevanto
