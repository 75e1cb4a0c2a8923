#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "platform/security/current_account.h"
#include "platform/security/folder_security.h"
#include "platform/security/program_location.h"
#include "platform/security/trusted_accounts.h"
#include "tests/conformance/conformance.h"
#include "tests/support/folder_link.h"

namespace brevanto::e2e {
namespace {

using conformance::RunningUnderWine;

constexpr wchar_t kLabUser[] = L"S-1-5-21-1-2-3-1001";

// "SID: right, right; SID: right"
std::wstring Described(const std::vector<Holder>& holders) {
    std::wstring text;
    for (const Holder& holder : holders) {
        text += (text.empty() ? L"" : L"; ") + holder.sid + L":";
        for (std::size_t i = 0; i < holder.rights.size(); ++i)
            text += (i ? L", " : L" ") + holder.rights[i];
    }
    return text;
}

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

// On Windows the system folder's every level belongs to TrustedInstaller, SYSTEM or
// Administrators; under Wine every level is the Wine user's, which the allowance trusts.
TEST(FolderSecurity, TheSystemFolderAndAProgramInItOnlyAdministratorsMayChange) {
    wchar_t system[MAX_PATH];
    const std::wstring folder(system, GetSystemDirectoryW(system, MAX_PATH));
    const LocationJudgement judgement = JudgeProgramLocation(
        folder, {folder + L"\\kernel32.dll"}, MissingFolders::Report, TrustedAccountsHere());
    EXPECT_EQ(Utf8(judgement.refusal), "");
    EXPECT_EQ(Utf8(judgement.missingFrom), "");
    EXPECT_TRUE(judgement.changers.empty()) << Utf8(judgement.changers[0].path);
    EXPECT_TRUE(judgement.OnlyTrustedMayChange());
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    GetEnvironmentVariableW(name, value, MAX_PATH);
    return value;
}

struct Path {
    const char* name;
    std::wstring path;
    const wchar_t* problem; // a part of the reason given; null: accepted
};

std::wstring ParentOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

TEST(FolderSecurity, OnlyAnAbsolutePathOnALocalFixedDriveOutsideProfilesAndTemp) {
    const Path paths[] = {
        {"LocalFolder", L"C:\\Lab\\Brevanto", nullptr},
        {"LocalFolderWithTrailingBackslash", L"C:\\Lab\\Brevanto\\", nullptr},
        {"DriveRoot", L"C:\\", nullptr},
        {"ProgramFiles", Environment(L"ProgramFiles") + L"\\ZELTAR\\Components", nullptr},
        {"Network", L"\\\\server\\share\\Brevanto", L"network path"},
        {"NetworkWithForwardSlashes", L"//server/share/Brevanto", L"network path"},
        {"LongPathPrefix", L"\\\\?\\C:\\Lab\\Brevanto", L"\"\\\\?\\\" path"},
        {"DevicePath", L"\\\\.\\C:\\Lab\\Brevanto", L"\"\\\\?\\\" path"},
        {"Relative", L"Lab\\Brevanto", L"not an absolute path"},
        {"BareName", L"Brevanto", L"not an absolute path"},
        {"DriveRelative", L"C:Lab\\Brevanto", L"not an absolute path"},
        {"RootRelative", L"\\Lab\\Brevanto", L"not an absolute path"},
        {"Empty", L"", L"not an absolute path"},
        {"NoSuchDrive", L"Q:\\Lab\\Brevanto", L"not on a local fixed drive"},
        {"UserProfile", Environment(L"USERPROFILE") + L"\\Brevanto", L"user profile"},
        // Only ProfilesDirectory, read as stored and expanded here, tells this one.
        {"AnotherUsersProfile", ParentOf(Environment(L"USERPROFILE")) + L"\\SomeoneElse\\Brevanto",
         L"the user profiles"},
        {"Temp", Environment(L"TEMP") + L"\\Brevanto", L"temporary folder"},
        {"TempItself", Environment(L"TEMP"), L"temporary folder"},
        {"WindowsTemp", Environment(L"SystemRoot") + L"\\Temp\\Brevanto", L"temporary folder"},
        {"IntoAProfileThroughDotDot", L"C:\\Lab\\..\\" + Environment(L"USERPROFILE").substr(3),
         L"user profile"},
        {"BesideTheProfilesNotInThem", ParentOf(Environment(L"USERPROFILE")) + L"Other\\Brevanto",
         nullptr},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(std::string(path.name) + ": " + Utf8(path.path));
        const auto problem = ProgramFolderPathProblem(path.path);
        if (!path.problem) {
            EXPECT_FALSE(problem) << Utf8(problem.value_or(L""));
            continue;
        }
        ASSERT_TRUE(problem);
        EXPECT_NE(problem->find(path.problem), std::wstring::npos) << Utf8(*problem);
    }
}

// A scratch folder in the system drive's root, outside profiles and temporary folders, made and
// removed by the test. Windows makes its owner Administrators only for an elevated administrator.
class ProgramLocation : public testing::Test {
protected:
    void SetUp() override {
        if (!ProcessIsElevated())
            BREVANTO_SKIP(runner::kNeedsElevationSkip,
                          "folders made by a standard user are theirs, and so not trusted");
        Remove();
    }
    void TearDown() override { Remove(); }

    // Everyone may add, delete and rename there, what Wine also reports for a folder whose Unix
    // mode lets others write.
    static void LetEveryoneWrite(const std::wstring& path, bool folder) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
            folder ? L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301ff;;;WD)"
                   : L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1301ff;;;WD)",
            SDDL_REVISION_1, &descriptor, nullptr));
        const UniqueLocal held(descriptor);
        ASSERT_TRUE(SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor))
            << GetLastError();
    }

    static std::wstring Changes(const LocationJudgement& judgement) {
        std::wstring text;
        for (const ObjectChangers& object : judgement.changers)
            for (const AccountRights& changer : object.changers) {
                text += (text.empty() ? L"" : L"; ") + object.path + L": " + changer.sid + L":";
                for (std::size_t i = 0; i < changer.rights.size(); ++i)
                    text += (i ? L", " : L" ") + changer.rights[i];
            }
        return text;
    }

    const std::wstring top_ = L"C:\\BrevantoLocationTest";
    const std::wstring folder_ = top_ + L"\\Lab\\Brevanto";

private:
    void Remove() {
        DeleteFileW((folder_ + L"\\Brevanto.exe").c_str());
        for (const std::wstring& path : {folder_, top_ + L"\\Lab", top_})
            RemoveDirectoryW(path.c_str());
    }
};

TEST_F(ProgramLocation, AMissingFolderIsMadeFromTheTopDownWithThePackagesPermissions) {
    const LocationJudgement reported =
        JudgeProgramLocation(folder_ + L"\\", {}, MissingFolders::Report, TrustedAccountsHere());
    EXPECT_EQ(Utf8(reported.missingFrom), Utf8(top_));
    EXPECT_TRUE(reported.made.empty());
    EXPECT_EQ(GetFileAttributesW(top_.c_str()), INVALID_FILE_ATTRIBUTES);

    const LocationJudgement made =
        JudgeProgramLocation(folder_ + L"\\", {}, MissingFolders::Create, TrustedAccountsHere());
    EXPECT_EQ(Utf8(made.refusal), "");
    ASSERT_EQ(made.made.size(), 3u);
    EXPECT_EQ(Utf8(made.made[0]), Utf8(top_));
    EXPECT_EQ(Utf8(made.made[2]), Utf8(folder_));
    EXPECT_EQ(Utf8(Changes(made)), "");
    EXPECT_TRUE(made.OnlyTrustedMayChange());

    // Made already: judged again, nothing made.
    const LocationJudgement again =
        JudgeProgramLocation(folder_, {}, MissingFolders::Create, TrustedAccountsHere());
    EXPECT_TRUE(again.made.empty());
    EXPECT_TRUE(again.OnlyTrustedMayChange()) << Utf8(again.refusal) << Utf8(Changes(again));
}

// The old way judged the folder alone: a user who may rename what a folder above holds could move
// the program folder away and put another in its place.
TEST_F(ProgramLocation, AFolderAboveThatOthersMayChangeIsNamedWithWhatTheyMayDo) {
    ASSERT_TRUE(CreateDirectoryW(top_.c_str(), nullptr));
    LetEveryoneWrite(top_, true);
    const LocationJudgement judgement =
        JudgeProgramLocation(folder_, {}, MissingFolders::Create, TrustedAccountsHere());
    EXPECT_EQ(Utf8(judgement.refusal), "");
    EXPECT_EQ(Utf8(Changes(judgement)), Utf8(top_ + L": S-1-1-0: delete or rename the folders it "
                                                    L"holds, delete or rename it"));
    EXPECT_FALSE(judgement.OnlyTrustedMayChange());
}

// A folder that is there already is judged, never taken as made: another may have made it first.
TEST_F(ProgramLocation, AFolderThereAlreadyIsJudgedAndSoIsAProgramInIt) {
    ASSERT_TRUE(CreateDirectoryW(top_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((top_ + L"\\Lab").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    LetEveryoneWrite(folder_, true);
    const std::wstring program = folder_ + L"\\Brevanto.exe";
    ASSERT_TRUE(
        CopyFileW((Environment(L"SystemRoot") + L"\\notepad.exe").c_str(), program.c_str(), FALSE))
        << GetLastError();
    LetEveryoneWrite(program, false);
    const LocationJudgement judgement =
        JudgeProgramLocation(folder_, {program, folder_ + L"\\brevanto-check.exe"},
                             MissingFolders::Create, TrustedAccountsHere());
    EXPECT_TRUE(judgement.made.empty());
    EXPECT_EQ(Utf8(Changes(judgement)),
              Utf8(folder_ +
                   L": S-1-1-0: add files, add folders, delete files, delete or rename "
                   L"the folder, write the files it holds, delete the files it holds; " +
                   program + L": S-1-1-0: write it, delete or rename it"));
}

TEST(FolderSecurity, ALinkOnTheWayIsRefusedAndNothingIsMadeThrough) {
    const support::FolderLink link;
    if (!link.Made())
        BREVANTO_SKIP(runner::kNotApplicableSkip, Utf8(link.Why()));
    const std::wstring through = link.Link() + L"\\Brevanto";
    RemoveDirectoryW((link.Target() + L"\\Brevanto").c_str()); // left by a run that failed
    const LocationJudgement judgement =
        JudgeProgramLocation(through, {}, MissingFolders::Create, TrustedAccountsHere());
    // Windows opens the link itself, which says it is one; Wine follows it to where it leads.
    EXPECT_EQ(judgement.refusal.rfind(L"\"" + link.Link() + L"\" ", 0), 0u)
        << Utf8(judgement.refusal);
    EXPECT_NE(judgement.refusal.find(L"link"), std::wstring::npos) << Utf8(judgement.refusal);
    EXPECT_TRUE(judgement.made.empty());
    EXPECT_EQ(GetFileAttributesW((link.Target() + L"\\Brevanto").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
} // namespace brevanto::e2e
