#include "platform/security/accounts.h"

#include <sddl.h>

#include "platform/base/unique_resource.h"

namespace brevanto {
namespace {

UniqueHandle ProcessToken() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
        token.Reset();
    return token;
}

} // namespace

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

CurrentAccount ReadCurrentAccount() {
    CurrentAccount account;
    account.elevated = ProcessIsElevated();
    std::vector<std::uint8_t> sid = CurrentUserSid();
    if (sid.empty())
        return account;
    account.sid = SidText(sid.data());
    account.name = AccountName(sid.data());
    if (account.name.empty())
        account.name = account.sid;
    return account;
}

std::vector<std::uint8_t> CurrentUserSid() {
    const UniqueHandle token = ProcessToken();
    if (!token)
        return {};
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (!size || !GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size))
        return {};
    const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    const auto* bytes = static_cast<const std::uint8_t*>(sid);
    return std::vector<std::uint8_t>(bytes, bytes + GetLengthSid(sid));
}

bool ProcessIsElevated() {
    const UniqueHandle token = ProcessToken();
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return token &&
           GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated;
}

std::optional<TOKEN_ELEVATION_TYPE> ProcessElevationType() {
    const UniqueHandle token = ProcessToken();
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    if (!token || !GetTokenInformation(token.Get(), TokenElevationType, &type, sizeof type, &size))
        return std::nullopt;
    return type;
}

} // namespace brevanto
