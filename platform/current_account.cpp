#include "platform/current_account.h"

#include <windows.h>

#include <sddl.h>

#include <vector>

#include "platform/unique_resource.h"

namespace brevanto {
namespace {

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

} // namespace

CurrentAccount ReadCurrentAccount() {
    CurrentAccount account;
    account.elevated = ProcessIsElevated();
    std::vector<std::uint8_t> sid = CurrentUserSid();
    if (sid.empty())
        return account;
    account.sid = SidText(sid);
    account.name = AccountName(sid.data());
    if (account.name.empty())
        account.name = account.sid;
    return account;
}

std::vector<std::uint8_t> CurrentUserSid() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
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

std::wstring SidText(const std::vector<std::uint8_t>& sid) {
    LPWSTR text = nullptr;
    if (sid.empty() || !ConvertSidToStringSidW(const_cast<std::uint8_t*>(sid.data()), &text))
        return {};
    const UniqueLocal owned(text);
    return text;
}

bool ProcessIsElevated() {
    UniqueHandle token;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()) &&
           GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated;
}

} // namespace brevanto
