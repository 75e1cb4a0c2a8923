#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <algorithm>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "platform/security/accounts.h"
#include "platform/security/folder_security.h"
#include "platform/security/program_location.h"
#include "platform/security/trusted_accounts.h"
#include "tests/conformance/conformance.h"
#include "tests/support/described_holders.h"

namespace brevanto::platform_test {
namespace {

using conformance::RunningUnderWine;

constexpr wchar_t kLabUser[] = L"S-1-5-21-1-2-3-1001";

using support::Described;

SecurityFacts FactsOf(const std::wstring& sddl) {
    PSECURITY_DESCRIPTOR made = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                     &made, nullptr))
        << GetLastError();
    const UniqueLocal held(made);
    return made ? ReadSecurityFacts(made) : SecurityFacts{};
}

// The rules are table-tested natively (tests/unit/access_rules_test.cpp); these rows prove that
// the reader hands them what Windows' own API makes of a descriptor: generic rights, inheritance
// flags, inherited entries, denials, owners.
TEST(FolderSecurity, TheReaderGivesTheRulesWhatTheDescriptorHolds) {
    struct Descriptor {
        const char* name;
        std::wstring sddl;
        Judged judged;
        std::wstring changers;
    };
    const Descriptor descriptors[] = {
        {"the folder the package creates", kProgramFolderSddl, Judged::ProgramFolder, L""},
        {"a data drive's folder inheriting Authenticated Users: Modify",
         L"O:BAD:AI(A;OICIID;FA;;;SY)(A;OICIID;FA;;;BA)(A;OICIID;0x1200a9;;;BU)"
         L"(A;ID;0x1301bf;;;AU)(A;OICIIOID;SDGXGWGR;;;AU)",
         Judged::ProgramFolder,
         L"S-1-5-11: add files, add folders, delete or rename the folder, write the files it "
         L"holds, delete the files it holds"},
        {"an earlier denial", L"O:BAD:P(A;;FA;;;BA)(D;;0x10046;;;WD)(A;;0x1301bf;;;BU)",
         Judged::ProgramFolder, L""},
        {"CREATOR OWNER on what is inherited", L"O:BAD:P(A;OICI;FA;;;BA)(A;OICIIO;GA;;;CO)",
         Judged::ProgramFolder, L""},
        {"OWNER RIGHTS granting write",
         std::wstring(L"O:") + kLabUser + L"D:P(A;;FA;;;BA)(A;;0x1201bf;;;S-1-3-4)",
         Judged::ProgramFolder, std::wstring(kLabUser) + L": add files, add folders"},
        {"a folder a user made, above the program folder",
         std::wstring(L"O:") + kLabUser + L"D:AI(A;OICIID;FA;;;SY)(A;OICIID;FA;;;BA)(A;ID;FA;;;" +
             kLabUser + L")",
         Judged::FolderAbove,
         std::wstring(kLabUser) + L": delete or rename the folders it holds, delete or rename it, "
                                  L"change its permissions, take ownership"},
        {"a DLL users may modify", L"O:BAD:(A;ID;FA;;;BA)(A;ID;0x1301bf;;;BU)", Judged::ProgramFile,
         L"S-1-5-32-545: write it, delete or rename it"},
    };
    for (const Descriptor& descriptor : descriptors) {
        SCOPED_TRACE(descriptor.name);
        EXPECT_EQ(Utf8(Described(Changers(FactsOf(descriptor.sddl), descriptor.judged, {}))),
                  Utf8(descriptor.changers));
    }
}

// Made with the API: Wine reads the SDDL "D:NO_ACCESS_CONTROL" as an empty DACL, not as none.
TEST(FolderSecurity, NoDaclLetsEveryoneDoEverything) {
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
    EXPECT_FALSE(ReadSecurityFacts(&descriptor).hasDacl);
    EXPECT_EQ(Utf8(Described(Changers(ReadSecurityFacts(&descriptor), Judged::ProgramFile, {}))),
              "S-1-1-0: write it, delete or rename it, change its permissions, take ownership");
}

TEST(FolderSecurity, AChangerIsNamedByItsAccount) {
    const SecurityFacts facts =
        FactsOf(L"O:BAD:P(A;;FA;;;BA)(A;;0x2;;;BU)(A;;0x2;;;S-1-5-21-9-9-9-4242)");
    const auto changers = Named(Changers(facts, Judged::ProgramFolder, {}));
    ASSERT_EQ(changers.size(), 2u);
    EXPECT_NE(changers[0].account.find(L"Users"), std::wstring::npos) << Utf8(changers[0].account);
    // An account this machine cannot name is shown by its SID.
    EXPECT_EQ(Utf8(Described(changers[1])), "S-1-5-21-9-9-9-4242 (S-1-5-21-9-9-9-4242): add files");
}

// Trusted besides the three built-in accounts: the domain's administrators, and under Wine, which
// reports every file as owned by the account it runs as (or by ANONYMOUS LOGON when another Unix
// account owns it), those two owners, and nothing more.
TEST(FolderSecurity, UnderWineOnlyTheOwnersItReportsAreTrustedBesidesTheDomainsAdministrators) {
    const std::vector<std::wstring> allowance = WineFileOwnerAllowance();
    EXPECT_EQ(allowance.empty(), !RunningUnderWine());
    if (RunningUnderWine()) {
        EXPECT_EQ(Utf8(allowance.at(0)), "S-1-5-7");
        EXPECT_EQ(Utf8(allowance.at(1)), Utf8(ReadCurrentAccount().sid));
        EXPECT_EQ(allowance.size(), 2u);
    }
    for (const std::wstring& sid : TrustedAccountsHere()) {
        const bool domainGroup = sid.rfind(L"S-1-5-21-", 0) == 0 &&
                                 (sid.size() > 4 && (sid.substr(sid.size() - 4) == L"-512" ||
                                                     sid.substr(sid.size() - 4) == L"-519"));
        const bool allowed = std::find(allowance.begin(), allowance.end(), sid) != allowance.end();
        EXPECT_TRUE(domainGroup || allowed) << Utf8(sid);
    }
}

} // namespace
} // namespace brevanto::platform_test
