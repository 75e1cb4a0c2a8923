#include "tests/support/dacl_text.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include "platform/base/unique_resource.h"

namespace brevanto::support {

std::wstring DaclText(const std::wstring& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return L"";
    const UniqueLocal heldDescriptor(descriptor);
    wchar_t* text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(
            descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr))
        return L"";
    const UniqueLocal heldText(text);
    return text;
}

} // namespace brevanto::support
