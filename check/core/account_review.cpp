#include "check/core/account_review.h"

namespace brevanto::check {

bool IsServiceAccount(std::wstring_view sid) {
    for (const std::wstring_view service : {L"S-1-5-18", L"S-1-5-19", L"S-1-5-20"})
        if (sid == service)
            return true;
    return false;
}

bool CreatesComponents(const AccountFacts& account, bool createAsThisAccount) {
    return !account.serviceAccount || createAsThisAccount;
}

} // namespace brevanto::check
