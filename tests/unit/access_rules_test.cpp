#include <gtest/gtest.h>

#include "platform/security/access_rules.h"
#include "tests/support/described_holders.h"
#include "tests/unit/check_facts.h"

namespace brevanto::testing {
namespace {

constexpr wchar_t kUsers[] = L"S-1-5-32-545";
constexpr wchar_t kAuthenticatedUsers[] = L"S-1-5-11";
constexpr wchar_t kLabUser[] = L"S-1-5-21-1-2-3-1001";
constexpr wchar_t kInstaller[] = L"S-1-5-21-1-2-3-500";
constexpr wchar_t kDomainAdmins[] = L"S-1-5-21-7-8-9-512";
constexpr wchar_t kEnterpriseAdmins[] = L"S-1-5-21-7-8-9-519";
constexpr wchar_t kOtherDomainAdmins[] = L"S-1-5-21-4-5-6-512";
// What Wine reports as the owner of every file, and its user.
constexpr wchar_t kWineUser[] = L"S-1-5-21-0-0-0-1000";

// Masks as SDDL writes them.
constexpr std::uint32_t kFull = 0x1f01ff;          // FA
constexpr std::uint32_t kReadExecute = 0x1200a9;   // what Users get in Program Files
constexpr std::uint32_t kModify = 0x1301bf;        // "Modify" in the Explorer's dialog
constexpr std::uint32_t kGenericAll = 0x10000000;  // GA
constexpr std::uint32_t kGenericRead = 0x80000000; // GR
constexpr std::uint32_t kGenericWrite = 0x40000000;
constexpr std::uint32_t kGenericExecute = 0x20000000;
constexpr std::uint32_t kEveryoneMayWrite = 0x1301ff; // Wine's Everyone entry for mode o+w

enum Inherit : unsigned { kThis = 0, kOI = 1, kCI = 2, kIO = 4, kOICI = kOI | kCI };

AccessEntry Allow(const std::wstring& sid, std::uint32_t mask, unsigned inherit = kThis) {
    return {true, sid, mask, (inherit & kIO) != 0, (inherit & kOI) != 0, (inherit & kCI) != 0};
}
AccessEntry Deny(const std::wstring& sid, std::uint32_t mask, unsigned inherit = kThis) {
    AccessEntry entry = Allow(sid, mask, inherit);
    entry.allows = false;
    return entry;
}

using support::Described;

const std::vector<AccessEntry> kAdministratorsOnly = {Allow(kSystemSid, kFull, kOICI),
                                                      Allow(kAdministratorsSid, kFull, kOICI),
                                                      Allow(kUsers, kReadExecute, kOICI)};

struct Case {
    const char* name;
    SecurityFacts facts;
    std::vector<std::wstring> alsoTrusted;
    std::wstring holders;
};

TEST(AccessRules, OnlyTrustedAccountsMayChangeAProgramFolder) {
    const std::wstring everything =
        L"add files, add folders, delete files, delete or rename the folder, change its "
        L"permissions, take ownership, write the files it holds, delete the files it holds, "
        L"change the permissions of the files it holds, take ownership of the files it holds";
    const Case cases[] = {
        {"administrators full, users read and execute",
         {kAdministratorsSid, true, kAdministratorsOnly},
         {},
         L""},
        {"Program Files as Windows sets it",
         {kTrustedInstallerSid,
          true,
          {Allow(kTrustedInstallerSid, kFull), Allow(kTrustedInstallerSid, kGenericAll, kCI | kIO),
           Allow(kSystemSid, kModify), Allow(kSystemSid, kGenericAll, kOICI | kIO),
           Allow(kAdministratorsSid, kModify), Allow(kAdministratorsSid, kGenericAll, kOICI | kIO),
           Allow(kUsers, kReadExecute), Allow(kUsers, kGenericExecute | kGenericRead, kOICI | kIO),
           Allow(kCreatorOwnerSid, kGenericAll, kOICI | kIO)}},
         {},
         L""},
        {"a data drive's folder inheriting Authenticated Users: Modify",
         {kAdministratorsSid,
          true,
          {Allow(kSystemSid, kFull, kOICI), Allow(kAdministratorsSid, kFull, kOICI),
           Allow(kUsers, kReadExecute, kOICI), Allow(kAuthenticatedUsers, kModify),
           Allow(kAuthenticatedUsers,
                 access::kDelete | kGenericExecute | kGenericWrite | kGenericRead, kOICI | kIO)}},
         {},
         L"S-1-5-11: add files, add folders, delete or rename the folder, write the files it "
         L"holds, delete the files it holds"},
        {"users may modify",
         {kAdministratorsSid,
          true,
          {Allow(kAdministratorsSid, kFull, kOICI), Allow(kUsers, kModify, kOICI)}},
         {},
         L"S-1-5-32-545: add files, add folders, delete or rename the folder, write the files it "
         L"holds, delete the files it holds"},
        {"everyone full control of the folder itself",
         {kAdministratorsSid, true, {Allow(kEveryoneSid, kFull)}},
         {},
         L"S-1-1-0: add files, add folders, delete files, delete or rename the folder, change its "
         L"permissions, take ownership"},
        {"only adding files",
         {kAdministratorsSid, true, {Allow(kUsers, access::kWriteData)}},
         {},
         L"S-1-5-32-545: add files"},
        {"only deleting files",
         {kAdministratorsSid, true, {Allow(kUsers, access::kDeleteChild)}},
         {},
         L"S-1-5-32-545: delete files"},
        {"only changing permissions",
         {kAdministratorsSid, true, {Allow(kUsers, access::kWriteDac)}},
         {},
         L"S-1-5-32-545: change its permissions"},
        {"only taking ownership",
         {kAdministratorsSid, true, {Allow(kUsers, access::kWriteOwner)}},
         {},
         L"S-1-5-32-545: take ownership"},
        {"only deleting the folder",
         {kAdministratorsSid, true, {Allow(kUsers, access::kDelete)}},
         {},
         L"S-1-5-32-545: delete or rename the folder"},
        {"generic write",
         {kAdministratorsSid, true, {Allow(kUsers, kGenericWrite)}},
         {},
         L"S-1-5-32-545: add files, add folders"},
        {"reading attributes and permissions changes nothing",
         {kAdministratorsSid, true, {Allow(kEveryoneSid, 0x120089), Allow(kUsers, 0x100)}},
         {},
         L""},
        {"an inherit-only grant reaches the files",
         {kAdministratorsSid, true, {Allow(kUsers, kModify, kOICI | kIO)}},
         {},
         L"S-1-5-32-545: write the files it holds, delete the files it holds"},
        {"an inherit-only entry that inherits nowhere",
         {kAdministratorsSid, true, {Allow(kUsers, kFull, kIO)}},
         {},
         L""},
        {"CREATOR OWNER on an inherit-only entry",
         {kAdministratorsSid, true, {Allow(kCreatorOwnerSid, kGenericAll, kOICI | kIO)}},
         {},
         L""},
        {"CREATOR OWNER on an entry for the folder itself",
         {kAdministratorsSid, true, {Allow(kCreatorOwnerSid, access::kWriteData)}},
         {},
         L"S-1-3-0: add files"},
        {"a user owns the folder",
         {kLabUser,
          true,
          {Allow(kSystemSid, kFull, kOICI), Allow(kAdministratorsSid, kFull, kOICI)}},
         {},
         L"S-1-5-21-1-2-3-1001: change its permissions"},
        {"OWNER RIGHTS takes the owner's power away",
         {kLabUser, true, {Allow(kOwnerRightsSid, kReadExecute)}},
         {},
         L""},
        {"OWNER RIGHTS granting write is the owner's",
         {kLabUser, true, {Allow(kOwnerRightsSid, 0x1201bf)}},
         {},
         L"S-1-5-21-1-2-3-1001: add files, add folders"},
        {"OWNER RIGHTS in what is inherited is whoever makes the file",
         {kAdministratorsSid, true, {Allow(kOwnerRightsSid, kGenericAll, kOICI | kIO)}},
         {},
         L""},
        {"the installing administrator is judged like anyone",
         {kInstaller, true, {Allow(kSystemSid, kFull, kOICI), Allow(kInstaller, kFull, kOICI)}},
         {},
         L"S-1-5-21-1-2-3-500: " + everything},
        {"an earlier denial takes the rights back",
         {kAdministratorsSid, true, {Deny(kUsers, 0x10046), Allow(kUsers, kModify)}},
         {},
         L""},
        {"an earlier denial of everyone takes the rights back",
         {kAdministratorsSid, true, {Deny(kEveryoneSid, 0x10046), Allow(kUsers, kModify)}},
         {},
         L""},
        {"a later denial does not",
         {kAdministratorsSid, true, {Allow(kUsers, kModify), Deny(kUsers, 0x10046)}},
         {},
         L"S-1-5-32-545: add files, add folders, delete or rename the folder"},
        {"a denial of another group does not",
         {kAdministratorsSid, true, {Deny(kAuthenticatedUsers, 0x10046), Allow(kUsers, kModify)}},
         {},
         L"S-1-5-32-545: add files, add folders, delete or rename the folder"},
        {"a denial for the folder leaves what its files inherit",
         {kAdministratorsSid, true, {Deny(kUsers, kFull), Allow(kUsers, kModify, kOICI)}},
         {},
         L"S-1-5-32-545: write the files it holds, delete the files it holds"},
        {"an empty DACL lets nobody in", {kAdministratorsSid, true, {}}, {}, L""},
        {"no DACL lets everyone do everything",
         {kAdministratorsSid, false, {}},
         {},
         L"S-1-1-0: " + everything},
        {"no owner and a safe DACL", {L"", true, kAdministratorsOnly}, {}, L""},
        {"what Wine reports for every folder, its user trusted",
         {kWineUser,
          true,
          {Allow(kSystemSid, kFull, kOICI), Allow(kWineUser, kFull, kOICI),
           Allow(kEveryoneSid, kReadExecute, kOICI)}},
         {kWineUser},
         L""},
        {"what Wine reports for every folder, its user not trusted",
         {kWineUser,
          true,
          {Allow(kSystemSid, kFull, kOICI), Allow(kWineUser, kFull, kOICI),
           Allow(kEveryoneSid, kReadExecute, kOICI)}},
         {},
         L"S-1-5-21-0-0-0-1000: " + everything},
        {"what Wine reports for a folder everyone may write to",
         {kWineUser,
          true,
          {Allow(kSystemSid, kFull, kOICI), Allow(kWineUser, kFull, kOICI),
           Allow(kEveryoneSid, kEveryoneMayWrite, kOICI)}},
         {kWineUser},
         L"S-1-1-0: add files, add folders, delete files, delete or rename the folder, write the "
         L"files it holds, delete the files it holds"},
        {"the folder the package creates",
         {kSystemSid,
          true,
          {Allow(kSystemSid, kFull, kOICI), Allow(kAdministratorsSid, kFull, kOICI),
           Allow(kUsers, kReadExecute, kOICI)}},
         {},
         L""},
        {"the domain's Domain Admins and Enterprise Admins when given",
         {kDomainAdmins,
          true,
          {Allow(kDomainAdmins, kFull, kOICI), Allow(kEnterpriseAdmins, kFull)}},
         {kDomainAdmins, kEnterpriseAdmins},
         L""},
        {"another domain's Domain Admins",
         {kAdministratorsSid, true, {Allow(kOtherDomainAdmins, access::kWriteData)}},
         {kDomainAdmins, kEnterpriseAdmins},
         L"S-1-5-21-4-5-6-512: add files"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(Described(Changers(c.facts, Judged::ProgramFolder, c.alsoTrusted))),
                  Narrow(c.holders));
    }
}

// Each folder on the way may let users make folders beside the one Brevanto runs from, but not
// remove or rename it or what it holds, nor be owned by anyone but an administrator.
TEST(AccessRules, AFolderAboveMayNotLetOthersMoveWhatItHolds) {
    // A folder a user made in a drive's root, as Windows gives it: the user owns it, and
    // CREATOR OWNER and Authenticated Users' entries of the root become theirs.
    const SecurityFacts madeByAUser{
        kLabUser,
        true,
        {Allow(kSystemSid, kFull, kOICI), Allow(kAdministratorsSid, kFull, kOICI),
         Allow(kUsers, kReadExecute, kOICI), Allow(kAuthenticatedUsers, kModify),
         Allow(kAuthenticatedUsers,
               access::kDelete | kGenericExecute | kGenericWrite | kGenericRead, kOICI | kIO),
         Allow(kLabUser, kFull)}};
    const Case cases[] = {
        {"a client's drive root: Authenticated Users may make folders",
         {kTrustedInstallerSid,
          true,
          {Allow(kAuthenticatedUsers,
                 access::kDelete | kGenericExecute | kGenericWrite | kGenericRead, kOICI | kIO),
           Allow(kAuthenticatedUsers, access::kAppendData), Allow(kSystemSid, kFull, kOICI),
           Allow(kAdministratorsSid, kFull, kOICI), Allow(kUsers, kReadExecute, kOICI)}},
         {},
         L""},
        {"a server's drive root: Users may make folders and files",
         {kAdministratorsSid,
          true,
          {Allow(kSystemSid, kFull, kOICI), Allow(kAdministratorsSid, kFull, kOICI),
           Allow(kUsers, kReadExecute, kOICI), Allow(kUsers, access::kAppendData, kCI),
           Allow(kUsers, access::kWriteData, kCI),
           Allow(kCreatorOwnerSid, kGenericAll, kOICI | kIO)}},
         {},
         L""},
        {"a folder a user made before the install",
         madeByAUser,
         {},
         L"S-1-5-21-1-2-3-1001: delete or rename the folders it holds, delete or rename it, "
         L"change its permissions, take ownership; S-1-5-11: delete or rename it"},
        {"users may delete what it holds",
         {kAdministratorsSid, true, {Allow(kUsers, access::kDeleteChild)}},
         {},
         L"S-1-5-32-545: delete or rename the folders it holds"},
        {"users may change its permissions",
         {kAdministratorsSid, true, {Allow(kUsers, access::kWriteDac | access::kWriteOwner)}},
         {},
         L"S-1-5-32-545: change its permissions, take ownership"},
        {"users may add files and folders, and change nothing there",
         {kAdministratorsSid, true, {Allow(kUsers, access::kWriteData | access::kAppendData)}},
         {},
         L""},
        {"what it lets the folders it holds inherit is not its own",
         {kAdministratorsSid, true, {Allow(kUsers, kFull, kOICI | kIO)}},
         {},
         L""},
        {"owned by the installing administrator",
         {kInstaller, true, kAdministratorsOnly},
         {},
         L"S-1-5-21-1-2-3-500: change its permissions"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(Described(Changers(c.facts, Judged::FolderAbove, c.alsoTrusted))),
                  Narrow(c.holders));
    }
}

TEST(AccessRules, OnlyTrustedAccountsMayRewriteAProgramFile) {
    const Case cases[] = {
        {"inheriting the package's folder",
         {kAdministratorsSid, true, kAdministratorsOnly},
         {},
         L""},
        {"users may modify it",
         {kAdministratorsSid, true, {Allow(kAdministratorsSid, kFull), Allow(kUsers, kModify)}},
         {},
         L"S-1-5-32-545: write it, delete or rename it"},
        {"users may only append to it",
         {kAdministratorsSid, true, {Allow(kUsers, access::kAppendData)}},
         {},
         L"S-1-5-32-545: write it"},
        {"a user owns it",
         {kLabUser, true, kAdministratorsOnly},
         {},
         L"S-1-5-21-1-2-3-1001: change its permissions"},
        {"everyone full control",
         {kAdministratorsSid, true, {Allow(kEveryoneSid, kGenericAll)}},
         {},
         L"S-1-1-0: write it, delete or rename it, change its permissions, take ownership"},
        {"reading and running it",
         {kAdministratorsSid, true, {Allow(kEveryoneSid, kReadExecute)}},
         {},
         L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(Described(Changers(c.facts, Judged::ProgramFile, c.alsoTrusted))),
                  Narrow(c.holders));
    }
}

TEST(AccessRules, TheTrustedAccountsAreThoseThatNeedElevation) {
    struct Trust {
        const wchar_t* sid;
        bool trusted;
    };
    const Trust accounts[] = {
        {L"S-1-5-18", true},
        {L"S-1-5-32-544", true},
        {L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", true},
        {L"S-1-5-21-7-8-9-512", true}, // the domain's Domain Admins, given
        {L"S-1-5-21-7-8-9-519", true}, // and its Enterprise Admins
        {L"S-1-5-21-4-5-6-512", false},
        {L"S-1-5-21-1-2-3-500", false}, // an administrator's own account
        {L"S-1-5-19", false},           // LocalService
        {L"S-1-5-20", false},           // NetworkService
        {L"S-1-5-32-545", false},
        {L"S-1-5-32-547", false}, // Power Users
        {L"S-1-5-80-1-2-3-4-5", false},
        {L"S-1-5-18-1", false},
        {L"", false},
    };
    for (const Trust& account : accounts) {
        SCOPED_TRACE(Narrow(account.sid));
        EXPECT_EQ(IsTrustedAccount(account.sid, {kDomainAdmins, kEnterpriseAdmins}),
                  account.trusted);
    }
}

TEST(AccessRules, OtherUsersMayReadTheCrashDumpsOfAFolderOnlyThroughWhatTheyInherit) {
    const Case cases[] = {
        {"the user's own CrashDumps in the profile",
         {kLabUser,
          true,
          {Allow(kSystemSid, kFull, kOICI), Allow(kAdministratorsSid, kFull, kOICI),
           Allow(kLabUser, kFull, kOICI)}},
         {},
         L""},
        {"an administrator's folder in a client's drive root",
         {kAdministratorsSid,
          true,
          {Allow(kSystemSid, kFull, kOICI), Allow(kAdministratorsSid, kFull, kOICI),
           Allow(kUsers, kReadExecute, kOICI), Allow(kAuthenticatedUsers, kModify),
           Allow(kAuthenticatedUsers,
                 access::kDelete | kGenericExecute | kGenericWrite | kGenericRead, kOICI | kIO)}},
         {},
         L"S-1-5-32-545: read the files made in it; S-1-5-11: read the files made in it"},
        {"shared: users may list and make files, each creator owns theirs",
         {kAdministratorsSid,
          true,
          {Allow(kSystemSid, kFull, kOICI), Allow(kAdministratorsSid, kFull, kOICI),
           Allow(kUsers, 0x1000a3), Allow(kCreatorOwnerSid, kGenericAll, kOICI | kIO)}},
         {},
         L""},
        {"everyone may read what is made in it",
         {kAdministratorsSid, true, {Allow(kEveryoneSid, kGenericRead, kOI | kIO)}},
         {},
         L"S-1-1-0: read the files made in it"},
        {"folders made in it are not dumps",
         {kAdministratorsSid, true, {Allow(kEveryoneSid, kGenericRead, kCI | kIO)}},
         {},
         L""},
        {"another user owns the folder",
         {L"S-1-5-21-1-2-3-1002", true, {Allow(kLabUser, kFull, kOICI)}},
         {},
         L"S-1-5-21-1-2-3-1002: change its permissions"},
        {"OWNER RIGHTS on what is made is the dump's own writer",
         {kAdministratorsSid, true, {Allow(kOwnerRightsSid, kGenericAll, kOICI | kIO)}},
         {},
         L""},
        {"a denial of users before their grant",
         {kAdministratorsSid,
          true,
          {Deny(kUsers, access::kReadData, kOI | kIO), Allow(kUsers, kReadExecute, kOICI)}},
         {},
         L""},
        {"no DACL",
         {kAdministratorsSid, false, {}},
         {},
         L"S-1-1-0: change its permissions, take ownership, read the files made in it"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(Described(ReadersOfFilesMadeIn(c.facts, kLabUser, c.alsoTrusted))),
                  Narrow(c.holders));
    }
}

} // namespace
} // namespace brevanto::testing
