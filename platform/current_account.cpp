#include "platform/current_account.h"

#include <windows.h>

#include <sddl.h>

#include <vector>

#include "platform/unique_resource.h"

namespace brevanto {
namespace {

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

} // namespace

CurrentAccount ReadCurrentAccount() {
    CurrentAccount account;
    account.elevated = ProcessIsElevated();
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
        return account;
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (!size || !GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size))
        return account;
    const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    account.sid = SidText(sid);
    account.name = AccountName(sid);
    if (account.name.empty())
        account.name = account.sid;
    return account;
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
