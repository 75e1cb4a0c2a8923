#include "platform/current_account.h"

#include <windows.h>

#include <vector>

#include "platform/account_names.h"
#include "platform/unique_resource.h"

namespace brevanto {

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
