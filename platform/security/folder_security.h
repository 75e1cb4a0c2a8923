#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/security/access_rules.h"

namespace brevanto {

// An account besides the trusted ones that could change what Brevanto runs (replace a program,
// drop a DLL beside it, take a folder over) or read what it should not, by its name here, with
// what it may do in words an administrator can act on ("add files", "delete or rename it", ...).
struct AccountRights {
    std::wstring sid;     // "S-1-5-32-545"
    std::wstring account; // "BUILTIN\Users"; the SID again when it has no name here
    std::vector<std::wstring> rights;
};

// The owner and DACL of a security descriptor, as the rules of platform/security/access_rules.h
// read them. A DACL that cannot be read counts as none: everyone may do everything.
SecurityFacts ReadSecurityFacts(PSECURITY_DESCRIPTOR descriptor);

// The holders with their accounts named as this machine names them.
std::vector<AccountRights> Named(const std::vector<Holder>& holders);

// "BUILTIN\Users (S-1-5-32-545): add files, add folders"
std::wstring Described(const AccountRights& holder);

// The owner and DACL of the file or folder at the path, links followed; nothing when they cannot
// be read (GetLastError says why).
std::optional<SecurityFacts> ReadSecurityFactsOf(const std::wstring& path);

} // namespace brevanto
