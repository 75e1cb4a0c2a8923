#pragma once

#include <string>

namespace brevanto {

// The account this process runs as.
struct CurrentAccount {
    std::wstring name; // "DOMAIN\user"; the SID again when it cannot be looked up
    std::wstring sid;  // "S-1-5-21-..."; empty when the token cannot be read
    bool elevated = false;
};

CurrentAccount ReadCurrentAccount();

// Whether this process runs elevated (TokenElevation).
bool ProcessIsElevated();

} // namespace brevanto
