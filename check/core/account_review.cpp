#include "check/core/account_review.h"

namespace brevanto::check {

bool IsServiceAccount(std::wstring_view sid) {
    for (const std::wstring_view service : {L"S-1-5-18", L"S-1-5-19", L"S-1-5-20"})
        if (sid == service)
            return true;
    // Virtual accounts: a service's own (NT SERVICE\...) and an IIS application pool's.
    for (const std::wstring_view authority : {L"S-1-5-80-", L"S-1-5-82-"})
        if (sid.size() > authority.size() && sid.substr(0, authority.size()) == authority)
            return true;
    return false;
}

bool CreatesComponents(const AccountFacts& account, bool createAsThisAccount) {
    return !account.serviceAccount || createAsThisAccount;
}

} // namespace brevanto::check
