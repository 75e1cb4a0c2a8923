#pragma once

#include <windows.h>

#include <string>

namespace brevanto {

// A SID as text ("S-1-5-32-545"); empty when it cannot be converted.
std::wstring SidText(PSID sid);

// An account as this machine names it ("BUILTIN\Users", "DOMAIN\user"); empty when it has no
// name here.
std::wstring AccountName(PSID sid);

// The same for a SID given as text; the SID itself when it has no name here.
std::wstring AccountNameOrSid(const std::wstring& sid);

} // namespace brevanto
