#include "platform/security/account_names.h"

#include <sddl.h>

#include "platform/base/unique_resource.h"

namespace brevanto {

std::wstring SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text))
        return {};
    const UniqueLocal owned(text);
    return text;
}

std::wstring AccountName(PSID sid) {
    DWORD nameSize = 0;
    DWORD domainSize = 0;
    SID_NAME_USE use{};
    LookupAccountSidW(nullptr, sid, nullptr, &nameSize, nullptr, &domainSize, &use);
    if (!nameSize)
        return {};
    std::wstring name(nameSize, L'\0');
    std::wstring domain(domainSize, L'\0');
    if (!LookupAccountSidW(nullptr, sid, name.data(), &nameSize, domain.data(), &domainSize, &use))
        return {};
    name.resize(nameSize);
    domain.resize(domainSize);
    return domain.empty() ? name : domain + L"\\" + name;
}

std::wstring AccountNameOrSid(const std::wstring& sid) {
    PSID binary = nullptr;
    if (!ConvertStringSidToSidW(sid.c_str(), &binary))
        return sid;
    const UniqueLocal owned(binary);
    const std::wstring name = AccountName(binary);
    return name.empty() ? sid : name;
}

} // namespace brevanto
