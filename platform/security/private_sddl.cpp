#include "platform/security/private_sddl.h"

namespace brevanto {

std::wstring PrivateSddl(std::wstring_view userSid, PrivateTo kind) {
    if (userSid.empty())
        return std::wstring();
    const std::wstring inherit = kind == PrivateTo::Folder ? L"OICI" : L"";
    std::wstring sddl = L"D:P";
    for (const std::wstring_view trustee :
         {userSid, std::wstring_view(L"SY"), std::wstring_view(L"BA")})
        sddl += L"(A;" + inherit + L";FA;;;" + std::wstring(trustee) + L")";
    return sddl;
}

} // namespace brevanto
