#include "platform/security/folder_security.h"

#include <aclapi.h>

#include "platform/base/unique_resource.h"
#include "platform/security/accounts.h"

namespace brevanto {

SecurityFacts ReadSecurityFacts(PSECURITY_DESCRIPTOR descriptor) {
    SecurityFacts facts;
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) && owner)
        facts.owner = SidText(owner);

    BOOL present = FALSE;
    PACL dacl = nullptr;
    ACL_SIZE_INFORMATION size{};
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || !dacl ||
        !GetAclInformation(dacl, &size, sizeof size, AclSizeInformation)) {
        facts.hasDacl = false;
        return facts;
    }
    for (DWORD i = 0; i < size.AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace))
            continue;
        const auto* header = static_cast<ACE_HEADER*>(ace);
        // A conditional (callback) grant is taken as a grant: its condition may hold. A
        // conditional denial is no denial: it may not.
        const bool allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE ||
                            header->AceType == ACCESS_ALLOWED_CALLBACK_ACE_TYPE;
        if (!allows && header->AceType != ACCESS_DENIED_ACE_TYPE)
            continue;
        // Allowed, denied and callback entries share this layout.
        auto* entry = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        facts.entries.push_back({allows, SidText(&entry->SidStart), entry->Mask,
                                 (header->AceFlags & INHERIT_ONLY_ACE) != 0,
                                 (header->AceFlags & OBJECT_INHERIT_ACE) != 0,
                                 (header->AceFlags & CONTAINER_INHERIT_ACE) != 0});
    }
    return facts;
}

std::vector<AccountRights> Named(const std::vector<Holder>& holders) {
    std::vector<AccountRights> named;
    for (const Holder& holder : holders)
        named.push_back({holder.sid, AccountNameOrSid(holder.sid), holder.rights});
    return named;
}

std::wstring Described(const AccountRights& holder) {
    std::wstring text = holder.account + L" (" + holder.sid + L"):";
    for (std::size_t i = 0; i < holder.rights.size(); ++i)
        text += (i ? L", " : L" ") + holder.rights[i];
    return text;
}

std::optional<SecurityFacts> ReadSecurityFactsOf(const std::wstring& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD status = GetNamedSecurityInfoW(
        path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
        nullptr, nullptr, nullptr, nullptr, &descriptor);
    if (status != ERROR_SUCCESS) {
        SetLastError(status);
        return std::nullopt;
    }
    const UniqueLocal held(descriptor);
    return ReadSecurityFacts(descriptor);
}

} // namespace brevanto
