#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brevanto {

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

} // namespace brevanto
