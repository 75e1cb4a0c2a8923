#include <functional>

#include "platform/base/utf8.h"
#include "tests/msi/package_test.h"

namespace brevanto::msi {
namespace {

const std::wstring kElsewhere = std::wstring(L"INSTALLFOLDER=\"") + kCommandLineFolder + L"\"";

// How a repair or reinstall of the installed product is started: from the cached package by its
// ProductCode (what Add/Remove Programs' Repair stands for; Wine's msiexec has no /f with one),
// or from the package file again.
struct Maintenance {
    const char* name;
    std::function<std::wstring(const PackageTest&)> product;
    const wchar_t* mode;
};

const Maintenance kMaintenances[] = {
    {"RepairByProductCode",
     [](const PackageTest& test) { return PackageProperty(test.older_, L"ProductCode"); }, L"omus"},
    {"ReinstallFromThePackage", [](const PackageTest& test) { return L"\"" + test.older_ + L"\""; },
     L"amus"},
};

class Maintained : public PackageTest, public testing::WithParamInterface<Maintenance> {};

// INSTALLFOLDER reaches the elevated part of a repair a standard user starts: it must not move
// what SYSTEM then writes and later deletes.
TEST_P(Maintained, KeepsTheProgramsInTheirFolderWhateverTheCommandLineSays) {
    const Maintenance& maintenance = GetParam();
    ASSERT_EQ(Install(older_).status, kInstalled);
    ASSERT_TRUE(DeleteFileW((VendorFolder() + L"\\" + kProgramExe).c_str()));

    const InstallerRun repair =
        Msiexec(L"/i " + maintenance.product(*this) + L" REINSTALL=ALL REINSTALLMODE=" +
                    maintenance.mode + L" " + kElsewhere + L" /qn",
                LogName(L"repair"));
    EXPECT_EQ(repair.status, kInstalled) << Utf8(repair.log);
    EXPECT_TRUE(BothExesIn(VendorFolder()));
    EXPECT_TRUE(NoExeIn(kCommandLineFolder));
    EXPECT_EQ(RememberedFolder().value_or(L"(none)"), VendorFolder() + L"\\");
    const auto entries = UninstallEntries(kDisplayName);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].installLocation, VendorFolder() + L"\\");
}

TEST_P(Maintained, UninstallThenStillRemovesThemWhateverTheCommandLineSays) {
    const Maintenance& maintenance = GetParam();
    ASSERT_EQ(Install(older_).status, kInstalled);
    ASSERT_EQ(Msiexec(L"/i " + maintenance.product(*this) + L" REINSTALL=ALL REINSTALLMODE=" +
                          maintenance.mode + L" " + kElsewhere + L" /qn",
                      LogName(L"repair"))
                  .status,
              kInstalled);

    const InstallerRun uninstall =
        Msiexec(L"/x " + PackageProperty(older_, L"ProductCode") + L" " + kElsewhere + L" /qn",
                LogName(L"uninstall"));
    EXPECT_EQ(uninstall.status, kInstalled) << Utf8(uninstall.log);
    EXPECT_TRUE(NoExeIn(VendorFolder()));
    EXPECT_TRUE(NoExeIn(kCommandLineFolder));
    EXPECT_TRUE(InstalledProducts(upgradeCode_).empty());
    EXPECT_FALSE(RememberedFolder());
}

INSTANTIATE_TEST_SUITE_P(Package, Maintained, testing::ValuesIn(kMaintenances),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace brevanto::msi
