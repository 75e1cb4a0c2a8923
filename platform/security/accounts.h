#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Accounts: a SID as text and by name, and the account this process runs as.
namespace brevanto {

// A SID as text ("S-1-5-32-545"); empty when it cannot be converted.
std::wstring SidText(PSID sid);

// An account as this machine names it ("BUILTIN\Users", "DOMAIN\user"); empty when it has no
// name here.
std::wstring AccountName(PSID sid);

// The same for a SID given as text; the SID itself when it has no name here.
std::wstring AccountNameOrSid(const std::wstring& sid);

// The account this process runs as.
struct CurrentAccount {
    std::wstring name; // "DOMAIN\user"; the SID again when it cannot be looked up
    std::wstring sid;  // "S-1-5-21-..."; empty when the token cannot be read
    bool elevated = false;
};

CurrentAccount ReadCurrentAccount();

// This process's user SID as the token holds it (a SID structure); empty when the token cannot be
// read.
std::vector<std::uint8_t> CurrentUserSid();

// Whether this process runs elevated (TokenElevation).
bool ProcessIsElevated();

// How this process's token is split by User Account Control (TokenElevationType); nothing when
// the token cannot be read.
std::optional<TOKEN_ELEVATION_TYPE> ProcessElevationType();

} // namespace brevanto
