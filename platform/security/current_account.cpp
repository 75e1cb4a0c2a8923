#include "platform/security/current_account.h"

#include <windows.h>

#include "platform/base/unique_resource.h"
#include "platform/security/account_names.h"

namespace brevanto {

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

bool ProcessIsElevated() {
    UniqueHandle token;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()) &&
           GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated;
}

} // namespace brevanto
