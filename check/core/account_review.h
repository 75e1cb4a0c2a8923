#pragma once

#include <string_view>

#include "check/core/workstation_facts.h"

namespace brevanto::check {

// LocalSystem (S-1-5-18), LocalService (S-1-5-19), NetworkService (S-1-5-20), or a virtual
// account: a service's own (NT SERVICE\..., S-1-5-80-...) or an IIS application pool's
// (IIS APPPOOL\..., S-1-5-82-...). Management tools and services run scripts as these. Their
// settings are not a lab user's.
bool IsServiceAccount(std::wstring_view sid);

// Whether the check creates the components: not as a service account, where a component would
// run with that account's rights, unless the administrator asks for it.
bool CreatesComponents(const AccountFacts& account, bool createAsThisAccount);

} // namespace brevanto::check
