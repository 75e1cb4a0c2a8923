#include <windows.h>

#include <sddl.h>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/conformance/conformance.h"
#include "tests/msi/package_test.h"
#include "tests/support/folder_link.h"

namespace brevanto::msi {
namespace {

// What the deferred action, run as SYSTEM right before the files come, says when every folder on
// the way, the folder and what runs from it only administrators may change.
std::wstring JudgedAsSystem(const std::wstring& folder) {
    return L"Brevanto: the folder \"" + folder +
           L"\", every folder above it and the files that run from it can be changed by "
           L"administrators only";
}

bool LogSays(const InstallerRun& run, const std::wstring& line) {
    return LogText(run).find(line) != std::wstring::npos;
}

// On every install, repair and upgrade, not only when the folder had to be made: the old action
// ran only for a missing folder, and said nothing.
TEST_F(PackageTest, TheFolderIsJudgedAsSystemBeforeTheFilesOnInstallRepairAndUpgrade) {
    const std::wstring folder = VendorFolder() + L"\\";
    const InstallerRun install = Install(older_);
    ASSERT_EQ(install.status, kInstalled) << Utf8(install.log);
    EXPECT_TRUE(LogSays(install, JudgedAsSystem(folder))) << Utf8(install.log);

    const InstallerRun repair = Msiexec(L"/i " + PackageProperty(older_, L"ProductCode") +
                                            L" REINSTALL=ALL REINSTALLMODE=omus /qn",
                                        LogName(L"repair"));
    ASSERT_EQ(repair.status, kInstalled) << Utf8(repair.log);
    EXPECT_TRUE(LogSays(repair, JudgedAsSystem(folder))) << Utf8(repair.log);

    const InstallerRun upgrade = Install(newer_);
    ASSERT_EQ(upgrade.status, kInstalled) << Utf8(upgrade.log);
    EXPECT_TRUE(LogSays(upgrade, JudgedAsSystem(folder))) << Utf8(upgrade.log);
}

// A folder above the install folder that others may change: whoever may rename what it holds
// could move the installed folder away and put another in its place. Everyone may here (what Wine
// also reports for a folder whose Unix mode lets others write).
class OpenFolderAbove : public PackageTest {
protected:
    void SetUp() override {
        PackageTest::SetUp();
        Remove();
        ASSERT_TRUE(CreateDirectoryW(top_.c_str(), nullptr)) << GetLastError();
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301ff;;;WD)", SDDL_REVISION_1,
            &descriptor, nullptr));
        const UniqueLocal held(descriptor);
        ASSERT_TRUE(SetFileSecurityW(top_.c_str(), DACL_SECURITY_INFORMATION, descriptor));
    }
    void TearDown() override {
        PackageTest::TearDown();
        Remove();
    }

    const std::wstring top_ = L"C:\\LabOpen";
    const std::wstring folder_ = top_ + L"\\Brevanto";

private:
    void Remove() {
        DeleteFileW((folder_ + L"\\" + kProgramExe).c_str());
        DeleteFileW((folder_ + L"\\" + kCheckExe).c_str());
        RemoveDirectoryW(folder_.c_str());
        RemoveDirectoryW(top_.c_str());
    }
};

TEST_F(OpenFolderAbove, RefusesTheInstallAndTheLogNamesTheFolderTheAccountAndWhatItMayDo) {
    const InstallerRun run = Install(older_, L"INSTALLFOLDER=\"" + folder_ + L"\"");
    EXPECT_EQ(run.status, kFatalError) << Utf8(run.log);
    EXPECT_TRUE(NoExeIn(folder_));
    EXPECT_TRUE(InstalledProducts(upgradeCode_).empty());
    EXPECT_TRUE(LogSays(run, L"Brevanto: the folder \"C:\\LabOpen\", on the way to \"" + folder_ +
                                 L"\", can be changed by Everyone (S-1-1-0): delete or rename the "
                                 L"folders it holds, delete or rename it"))
        << Utf8(run.log);
    EXPECT_TRUE(LogSays(run, L"Brevanto: the folder \"" + folder_ +
                                 L"\" is refused: any of those "
                                 L"accounts could replace"))
        << Utf8(run.log);
}

TEST_F(OpenFolderAbove, InstallsWithAllowWritableFolderAndTheLogSaysSo) {
    const InstallerRun run =
        Install(older_, L"INSTALLFOLDER=\"" + folder_ + L"\" ALLOWWRITABLEFOLDER=1");
    EXPECT_EQ(run.status, kInstalled) << Utf8(run.log);
    EXPECT_TRUE(BothExesIn(folder_));
    EXPECT_TRUE(LogSays(run, L"Brevanto: ALLOWWRITABLEFOLDER=1: installing into \"" + folder_ +
                                 L"\" anyway"))
        << Utf8(run.log);
    ASSERT_EQ(Uninstall(PackageProperty(older_, L"ProductCode")).status, kInstalled);
}

// A link a user made on the way would take SYSTEM's writes, and the programs' loads, where it
// leads; ALLOWWRITABLEFOLDER does not let one pass.
TEST_F(PackageTest, ALinkOnTheWayIsRefusedWhateverIsAllowedAndNothingGoesWhereItLeads) {
    const support::FolderLink link(L"C:\\");
    if (!link.Made())
        BREVANTO_SKIP(runner::kNotApplicableSkip, Utf8(link.Why()));
    const std::wstring folder = link.Link() + L"\\Brevanto";
    const InstallerRun run =
        Install(older_, L"INSTALLFOLDER=\"" + folder + L"\" ALLOWWRITABLEFOLDER=1");
    const std::wstring led = link.Target() + L"\\Brevanto";
    const bool placed = !NoExeIn(led);
    DeleteFileW((led + L"\\" + kProgramExe).c_str());
    DeleteFileW((led + L"\\" + kCheckExe).c_str());
    RemoveDirectoryW(led.c_str());
    EXPECT_EQ(run.status, kFatalError) << Utf8(run.log);
    EXPECT_FALSE(placed);
    EXPECT_TRUE(InstalledProducts(upgradeCode_).empty());
    EXPECT_TRUE(LogSays(run, L"Brevanto: the folder \"" + folder + L"\" is refused: \"" +
                                 link.Link() + L"\" "))
        << Utf8(run.log);
}

} // namespace
} // namespace brevanto::msi
