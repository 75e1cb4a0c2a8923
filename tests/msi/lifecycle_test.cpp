#include <windows.h>

#include "platform/base/file_paths.h"
#include "platform/base/utf8.h"
#include "platform/com/class_registration.h"
#include "tests/msi/package_test.h"
#include "tests/support/captured_run.h"
#include "tests/support/registry_tree.h"

namespace brevanto::msi {
namespace {

std::string JsonText(const std::wstring& text) {
    std::string json;
    for (const char c : Utf8(text))
        json += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "\"" + json + "\"";
}

TEST_F(PackageTest, InstallsSilentlyBesideTheComponentsWhoseCheckReportsThatFolder) {
    ASSERT_EQ(Install(older_).status, kInstalled);
    ASSERT_TRUE(BothExesIn(VendorFolder()));

    const std::wstring check = VendorFolder() + L"\\" + kCheckExe;
    const auto run =
        support::RunCapturingOutput(check, L"\"" + check + L"\" --json", L"C:\\", 30000);
    ASSERT_TRUE(run) << "brevanto-check.exe did not end";
    EXPECT_NE(run->output.find("\"programFolder\":" + JsonText(VendorFolder())), std::string::npos)
        << run->output;
    EXPECT_NE(
        run->output.find("\"serverPath\":" + JsonText(VendorFolder() + L"\\BrevantoStandin.dll")),
        std::string::npos)
        << run->output;
}

TEST_F(PackageTest, AddRemoveProgramsShowsOneEntryByProductCodeWithoutModify) {
    ASSERT_EQ(Install(older_).status, kInstalled);
    const auto entries = UninstallEntries(kDisplayName);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].key, PackageProperty(older_, L"ProductCode"));
    EXPECT_EQ(entries[0].displayVersion, PackageProperty(older_, L"ProductVersion"));
    EXPECT_EQ(entries[0].publisher, L"ZELTAR");
    EXPECT_EQ(entries[0].noModify, 1u);
    EXPECT_EQ(InstalledProducts(upgradeCode_),
              std::vector<std::wstring>{PackageProperty(older_, L"ProductCode")});
}

// The newer version goes where the older one is, though the components have moved since.
TEST_F(PackageTest, UpgradeReplacesTheOlderVersionInItsFolder) {
    ASSERT_EQ(Install(older_).status, kInstalled);
    InstallStandins(kMovedComponentsFolder);

    ASSERT_EQ(Install(newer_).status, kInstalled);
    EXPECT_EQ(InstalledProducts(upgradeCode_),
              std::vector<std::wstring>{PackageProperty(newer_, L"ProductCode")});
    const auto entries = UninstallEntries(kDisplayName);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].displayVersion, PackageProperty(newer_, L"ProductVersion"));
    EXPECT_TRUE(BothExesIn(VendorFolder()));
    EXPECT_TRUE(NoExeIn(kMovedComponentsFolder));
}

TEST_F(PackageTest, UninstallRemovesOurFilesAndLeavesTheComponents) {
    ASSERT_EQ(Install(older_).status, kInstalled);
    ASSERT_EQ(Uninstall(PackageProperty(older_, L"ProductCode")).status, kInstalled);

    EXPECT_TRUE(NoExeIn(VendorFolder()));
    const std::wstring standins = VendorFolder() + L"\\BrevantoStandin.dll";
    EXPECT_TRUE(FileExists(standins));
    for (const wchar_t* progId : {L"ZELTAR_User.clsCurrentUser", L"velmonic.labresultviewer"})
        EXPECT_EQ(ReadClassRegistration(progId).serverPath, standins) << Utf8(progId);
    EXPECT_TRUE(InstalledProducts(upgradeCode_).empty());
    EXPECT_TRUE(UninstallEntries(kDisplayName).empty());
    EXPECT_FALSE(RememberedFolder());
}

TEST_F(PackageTest, UninstallFindsItsFolderAfterTheComponentsAreGone) {
    ASSERT_EQ(Install(older_).status, kInstalled);
    RemoveUserClass();

    ASSERT_EQ(Uninstall(PackageProperty(older_, L"ProductCode")).status, kInstalled);
    EXPECT_TRUE(NoExeIn(VendorFolder()));
    EXPECT_TRUE(InstalledProducts(upgradeCode_).empty());
}

TEST_F(PackageTest, RepairRestoresAMissingExeInItsFolder) {
    ASSERT_EQ(Install(older_).status, kInstalled);
    ASSERT_TRUE(DeleteFileW((VendorFolder() + L"\\" + kProgramExe).c_str()));
    InstallStandins(kMovedComponentsFolder);

    // What "msiexec /fomus {ProductCode}" (the repair of Add/Remove Programs) stands for, from the
    // cached package; Wine's msiexec has no /f with a ProductCode.
    const InstallerRun repair = Msiexec(L"/i " + PackageProperty(older_, L"ProductCode") +
                                            L" REINSTALL=ALL REINSTALLMODE=omus /qn",
                                        LogName(L"repair"));
    EXPECT_EQ(repair.status, kInstalled) << Utf8(repair.log);
    EXPECT_TRUE(BothExesIn(VendorFolder()));
    EXPECT_TRUE(NoExeIn(kMovedComponentsFolder));
}

// The whole store, every program's settings in it, is compared as it was before: nothing of it is
// deleted to make the comparison.
TEST_F(PackageTest, InstallAndUninstallWriteNothingToTheSettingsStore) {
    constexpr wchar_t kStore[] = L"Software\\VB and VBA Program Settings";
    const support::RegistryTree before = support::ReadRegistryTree(HKEY_CURRENT_USER, kStore);
    ASSERT_EQ(Install(older_).status, kInstalled);
    EXPECT_TRUE(support::ReadRegistryTree(HKEY_CURRENT_USER, kStore) == before);
    ASSERT_EQ(Uninstall(PackageProperty(older_, L"ProductCode")).status, kInstalled);
    EXPECT_TRUE(support::ReadRegistryTree(HKEY_CURRENT_USER, kStore) == before);
}

// What the signed package installed, copied where the runner verifies its signatures with
// osslsigncode, which runs on the Linux side only.
TEST_F(PackageTest, SignedPackageInstallsExesTheRunnerCanVerify) {
    ASSERT_EQ(Install(older_).status, kInstalled);
    const std::wstring copies = OutputFolder() + L"\\installed";
    CreateDirectoryW(copies.c_str(), nullptr);
    for (const wchar_t* exe : {kProgramExe, kCheckExe})
        EXPECT_TRUE(CopyFileW((VendorFolder() + L"\\" + exe).c_str(),
                              (copies + L"\\" + exe).c_str(), FALSE))
            << Utf8(exe);
}

} // namespace
} // namespace brevanto::msi
