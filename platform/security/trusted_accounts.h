#pragma once

#include <string>
#include <vector>

namespace brevanto {

// The accounts trusted here besides SYSTEM, Administrators and TrustedInstaller
// (platform/security/access_rules.h): this machine's domain's Domain Admins and the forest's
// Enterprise Admins, which need elevation as they do; and under Wine the allowance below.
std::vector<std::wstring> TrustedAccountsHere();

// The one allowance for Wine in judging who may change what Brevanto runs, or read its dumps.
// Wine stores no security descriptor: it reports every file and folder as owned by the account
// it runs as (or by ANONYMOUS LOGON when another Unix account owns it), with full control for
// that owner and SYSTEM, and an Everyone entry made from the Unix mode's bits for others. Every
// process there runs as that account, elevated, as the administrator it stands for, and cannot
// act as another Unix account. So under Wine those two owners are trusted, and everything else
// is judged as on Windows; elsewhere nothing.
std::vector<std::wstring> WineFileOwnerAllowance();

} // namespace brevanto
