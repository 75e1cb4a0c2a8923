#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include "platform/current_account.h"
#include "platform/folder_security.h"
#include "platform/unique_resource.h"
#include "platform/utf8.h"
#include "tests/conformance/conformance.h"

namespace brevanto::e2e {
namespace {

constexpr wchar_t kInstaller[] = L"S-1-5-21-1-2-3-500";
constexpr wchar_t kLabUser[] = L"S-1-5-21-1-2-3-1001";
// The owner and user every file and folder reports under Wine.
constexpr wchar_t kWineUser[] = L"S-1-5-21-0-0-0-1000";

struct Descriptor {
    const char* name;
    std::wstring sddl;
    std::wstring trusted;  // the installing administrator's SID; empty: none
    std::wstring changers; // "SID: right, right; SID: right"; empty: only administrators
};

const Descriptor kDescriptors[] = {
    {"AdministratorsFullUsersReadAndExecute",
     L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", L"", L""},
    {"ProgramFilesAsWindowsSetsIt",
     L"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
     L"D:PAI(A;;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
     L"(A;CIIO;GA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
     L"(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)"
     L"(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)",
     L"", L""},
    {"DataDriveFolderInheritingAuthenticatedUsersModify",
     L"O:BAD:AI(A;OICIID;FA;;;SY)(A;OICIID;FA;;;BA)(A;OICIID;0x1200a9;;;BU)"
     L"(A;ID;0x1301bf;;;AU)(A;OICIIOID;SDGXGWGR;;;AU)",
     L"",
     L"S-1-5-11: add files, add folders, delete or rename the folder, write the files it holds, "
     L"delete the files it holds"},
    {"UsersModify", L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)", L"",
     L"S-1-5-32-545: add files, add folders, delete or rename the folder, write the files it "
     L"holds, delete the files it holds"},
    {"EveryoneFullControl", L"O:BAD:P(A;;FA;;;WD)", L"",
     L"S-1-1-0: add files, add folders, delete files, delete or rename the folder, change its "
     L"permissions, take ownership"},
    {"UsersMayOnlyAddFiles", L"O:BAD:P(A;;FA;;;BA)(A;;0x2;;;BU)", L"", L"S-1-5-32-545: add files"},
    {"UsersMayOnlyDeleteFiles", L"O:BAD:P(A;;FA;;;BA)(A;;0x40;;;BU)", L"",
     L"S-1-5-32-545: delete files"},
    {"UsersMayOnlyChangePermissions", L"O:BAD:P(A;;FA;;;BA)(A;;0x40000;;;BU)", L"",
     L"S-1-5-32-545: change its permissions"},
    {"UsersMayOnlyTakeOwnership", L"O:BAD:P(A;;FA;;;BA)(A;;0x80000;;;BU)", L"",
     L"S-1-5-32-545: take ownership"},
    {"UsersMayOnlyDeleteTheFolder", L"O:BAD:P(A;;FA;;;BA)(A;;0x10000;;;BU)", L"",
     L"S-1-5-32-545: delete or rename the folder"},
    {"GenericWriteForUsers", L"O:BAD:P(A;;FA;;;BA)(A;;GW;;;BU)", L"",
     L"S-1-5-32-545: add files, add folders"},
    {"ReadAttributesAndReadControlChangeNothing",
     L"O:BAD:P(A;;FA;;;BA)(A;;0x120089;;;WD)(A;;0x100;;;BU)", L"", L""},
    {"InheritOnlyWriteForUsersReachesTheFiles", L"O:BAD:P(A;OICI;FA;;;BA)(A;OICIIO;0x1301bf;;;BU)",
     L"", L"S-1-5-32-545: write the files it holds, delete the files it holds"},
    {"InheritOnlyEntryThatInheritsNowhereIsIgnored", L"O:BAD:P(A;;FA;;;BA)(A;IO;FA;;;BU)", L"",
     L""},
    {"CreatorOwnerOnAnInheritOnlyEntry", L"O:BAD:P(A;OICI;FA;;;BA)(A;OICIIO;GA;;;CO)", L"", L""},
    {"CreatorOwnerOnAnEntryForTheFolderItself", L"O:BAD:P(A;;FA;;;BA)(A;;0x2;;;CO)", L"",
     L"S-1-3-0: add files"},
    {"AUserOwnsTheFolder", std::wstring(L"O:") + kLabUser + L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
     L"", std::wstring(kLabUser) + L": change its permissions"},
    {"OwnerRightsEntryTakesTheOwnersPowerAway",
     std::wstring(L"O:") + kLabUser + L"D:P(A;;FA;;;BA)(A;;0x1200a9;;;S-1-3-4)", L"", L""},
    {"OwnerRightsEntryGrantingWriteIsTheOwners",
     std::wstring(L"O:") + kLabUser + L"D:P(A;;FA;;;BA)(A;;0x1201bf;;;S-1-3-4)", L"",
     std::wstring(kLabUser) + L": add files, add folders"},
    {"TheInstallingAdministratorMayHoldAnything",
     std::wstring(L"O:") + kInstaller + L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;" + kInstaller + L")",
     kInstaller, L""},
    {"TheSameAccountIsNotTrustedWhenItDoesNotInstallAsAdministrator",
     std::wstring(L"O:") + kInstaller + L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;" + kInstaller + L")",
     L"",
     std::wstring(kInstaller) +
         L": change its permissions, add files, add folders, delete files, delete or rename the "
         L"folder, take ownership, write the files it holds, delete the files it holds, change "
         L"the permissions of the files it holds, take ownership of the files it holds"},
    {"AnEarlierDenialTakesTheRightsBack", L"O:BAD:P(A;;FA;;;BA)(D;;0x10046;;;BU)(A;;0x1301bf;;;BU)",
     L"", L""},
    {"AnEarlierDenialOfEveryoneTakesTheRightsBack",
     L"O:BAD:P(A;;FA;;;BA)(D;;0x10046;;;WD)(A;;0x1301bf;;;BU)", L"", L""},
    {"ALaterDenialDoesNot", L"O:BAD:P(A;;FA;;;BA)(A;;0x1301bf;;;BU)(D;;0x10046;;;BU)", L"",
     L"S-1-5-32-545: add files, add folders, delete or rename the folder"},
    {"ADenialOfAnotherGroupDoesNot", L"O:BAD:P(A;;FA;;;BA)(D;;0x10046;;;AU)(A;;0x1301bf;;;BU)", L"",
     L"S-1-5-32-545: add files, add folders, delete or rename the folder"},
    {"AnEmptyDaclLetsNobodyIn", L"O:BAD:P", L"", L""},
    {"WhatWineReportsForEveryFolderInstalledByItsElevatedUser",
     std::wstring(L"O:") + kWineUser + L"D:(A;OICI;FA;;;SY)(A;OICI;FA;;;" + kWineUser +
         L")(A;OICI;0x1200a9;;;WD)",
     kWineUser, L""},
    {"TheFolderThePackageCreates", kProgramFolderSddl, L"", L""},
};

std::wstring Described(const std::vector<FolderChanger>& changers) {
    std::wstring text;
    for (const FolderChanger& changer : changers) {
        text += (text.empty() ? L"" : L"; ") + changer.sid + L":";
        for (std::size_t i = 0; i < changer.rights.size(); ++i)
            text += (i ? L", " : L" ") + changer.rights[i];
    }
    return text;
}

TEST(FolderSecurity, OnlyAdministratorsMayChangeAFolderOfPrograms) {
    for (const Descriptor& descriptor : kDescriptors) {
        SCOPED_TRACE(descriptor.name);
        PSECURITY_DESCRIPTOR made = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
            descriptor.sddl.c_str(), SDDL_REVISION_1, &made, nullptr))
            << GetLastError();
        const UniqueLocal held(made);
        EXPECT_EQ(Utf8(Described(FolderChangers(made, descriptor.trusted))),
                  Utf8(descriptor.changers));
    }
}

// Made with the API: Wine reads the SDDL "D:NO_ACCESS_CONTROL" as an empty DACL, not as none.
TEST(FolderSecurity, NoDaclLetsEveryoneDoEverything) {
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
    EXPECT_EQ(Utf8(Described(FolderChangers(&descriptor, L""))),
              "S-1-1-0: add files, add folders, delete files, delete or rename the folder, change "
              "its permissions, take ownership, write the files it holds, delete the files it "
              "holds, change the permissions of the files it holds, take ownership of the files "
              "it holds");
}

TEST(FolderSecurity, AChangerIsNamedByItsAccount) {
    PSECURITY_DESCRIPTOR made = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"O:BAD:P(A;;FA;;;BA)(A;;0x2;;;BU)(A;;0x2;;;S-1-5-21-9-9-9-4242)", SDDL_REVISION_1, &made,
        nullptr));
    const UniqueLocal held(made);
    const auto changers = FolderChangers(made, L"");
    ASSERT_EQ(changers.size(), 2u);
    EXPECT_NE(changers[0].account.find(L"Users"), std::wstring::npos) << Utf8(changers[0].account);
    // An account this machine cannot name is shown by its SID.
    EXPECT_EQ(Utf8(changers[1].account), "S-1-5-21-9-9-9-4242");
}

// Wine runs everything elevated as a member of Administrators, and reports every folder as its
// user's: so a real folder passes, as an administrator's own does on Windows.
TEST(FolderSecurity, ARealFolderIsReadAndJudgedWithTheRunningAdministratorTrusted) {
    if (!ProcessIsElevated())
        BREVANTO_SKIP(runner::kNeedsElevationSkip,
                      "an administrator counts as one only with the rights of an elevated run");
    const auto administrator = AdministratorRunningThis();
    ASSERT_TRUE(administrator);
    EXPECT_EQ(administrator->rfind(L"S-1-5-", 0), 0u) << Utf8(*administrator);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const FolderSecurity security = JudgeFolderSecurity(temp, *administrator);
    EXPECT_TRUE(security.read) << security.error;
    EXPECT_EQ(Utf8(Described(security.changers)), "");
    EXPECT_FALSE(JudgeFolderSecurity(L"C:\\No\\Such\\Folder", *administrator).read);
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
        {"Temp", Environment(L"TEMP") + L"\\Brevanto", L"temporary folder"},
        {"TempItself", Environment(L"TEMP"), L"temporary folder"},
        {"WindowsTemp", Environment(L"SystemRoot") + L"\\Temp\\Brevanto", L"temporary folder"},
        {"IntoAProfileThroughDotDot", L"C:\\Lab\\..\\" + Environment(L"USERPROFILE").substr(3),
         L"user profile"},
        {"BesideTheProfileNotInIt", Environment(L"USERPROFILE") + L"Other\\Brevanto", nullptr},
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

// Made as the package's action makes it: only administrators may delete it again.
TEST(FolderSecurity, AProgramFolderIsCreatedWithEveryFolderAboveIt) {
    if (!ProcessIsElevated())
        BREVANTO_SKIP(runner::kNeedsElevationSkip,
                      "the folder made lets only administrators delete it, and so the test");
    const std::wstring top = L"C:\\BrevantoFolderTest";
    const std::wstring folder = top + L"\\Lab\\Brevanto";
    RemoveDirectoryW(folder.c_str());
    RemoveDirectoryW((top + L"\\Lab").c_str());
    RemoveDirectoryW(top.c_str());
    EXPECT_TRUE(CreateProgramFolder(folder + L"\\"));
    EXPECT_TRUE(GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(CreateProgramFolder(folder)); // already there
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
    EXPECT_TRUE(RemoveDirectoryW((top + L"\\Lab").c_str()));
    EXPECT_TRUE(RemoveDirectoryW(top.c_str()));
}

} // namespace
} // namespace brevanto::e2e
