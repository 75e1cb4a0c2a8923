#pragma once

#include <string_view>

#include "check/core/workstation_facts.h"

namespace brevanto::check {

// LocalSystem (S-1-5-18), LocalService (S-1-5-19) or NetworkService (S-1-5-20): the accounts
// management tools and services run scripts as. Their settings are not a lab user's.
bool IsServiceAccount(std::wstring_view sid);

// Whether the check creates the components: not as a service account, where a component would
// run with that account's rights, unless the administrator asks for it.
bool CreatesComponents(const AccountFacts& account, bool createAsThisAccount);

} // namespace brevanto::check
