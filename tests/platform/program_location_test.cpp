#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "platform/security/accounts.h"
#include "platform/security/folder_security.h"
#include "platform/security/program_location.h"
#include "platform/security/trusted_accounts.h"
#include "tests/conformance/conformance.h"
#include "tests/support/environment_variable.h"
#include "tests/support/folder_link.h"

namespace brevanto::platform_test {
namespace {

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
        {"ProgramFiles", support::EnvironmentValue(L"ProgramFiles") + L"\\ZELTAR\\Components",
         nullptr},
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
        {"UserProfile", support::EnvironmentValue(L"USERPROFILE") + L"\\Brevanto", L"user profile"},
        // Only ProfilesDirectory, read as stored and expanded here, tells this one.
        {"AnotherUsersProfile",
         ParentOf(support::EnvironmentValue(L"USERPROFILE")) + L"\\SomeoneElse\\Brevanto",
         L"the user profiles"},
        {"Temp", support::EnvironmentValue(L"TEMP") + L"\\Brevanto", L"temporary folder"},
        {"TempItself", support::EnvironmentValue(L"TEMP"), L"temporary folder"},
        {"WindowsTemp", support::EnvironmentValue(L"SystemRoot") + L"\\Temp\\Brevanto",
         L"temporary folder"},
        {"IntoAProfileThroughDotDot",
         L"C:\\Lab\\..\\" + support::EnvironmentValue(L"USERPROFILE").substr(3), L"user profile"},
        {"BesideTheProfilesNotInThem",
         ParentOf(support::EnvironmentValue(L"USERPROFILE")) + L"Other\\Brevanto", nullptr},
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
    ASSERT_TRUE(CopyFileW((support::EnvironmentValue(L"SystemRoot") + L"\\notepad.exe").c_str(),
                          program.c_str(), FALSE))
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
} // namespace brevanto::platform_test
