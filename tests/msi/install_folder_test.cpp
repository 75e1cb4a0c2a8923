#include <functional>

#include "platform/base/utf8.h"
#include "tests/conformance/conformance.h"
#include "tests/msi/package_test.h"
#include "tests/msi/registry_views.h"

namespace brevanto::msi {
namespace {

struct Workstation {
    const char* name;
    std::function<void()> arrange;        // changes the fixture's registration of the components
    std::wstring arguments;               // given to msiexec
    std::function<std::wstring()> folder; // where Brevanto goes; null: the install is refused
    bool needsTwoViews = false;
};

const std::wstring kOverride = std::wstring(L"INSTALLFOLDER=\"") + kCommandLineFolder + L"\"";

void Registered64Bit() {
    RegisterUserServer(KEY_WOW64_64KEY, REG_SZ, CopyStandins(k64BitComponentsFolder));
}

const Workstation kWorkstations[] = {
    {"ComponentsFolder", [] {}, L"", VendorFolder},
    {"ExpandableServerPath",
     [] {
         RegisterUserServer(KEY_WOW64_32KEY, REG_EXPAND_SZ,
                            L"%ProgramFiles%\\ZELTAR\\Components\\BrevantoStandin.dll");
     },
     L"", VendorFolder},
    {"QuotedServerPath",
     [] {
         RegisterUserServer(KEY_WOW64_32KEY, REG_SZ,
                            L"\"" + VendorFolder() + L"\\BrevantoStandin.dll\"");
     },
     L"", VendorFolder},
    {"The32BitViewOverThe64BitOne", Registered64Bit, L"", VendorFolder, true},
    {"OnlyThe64BitViewRegistered",
     [] {
         Registered64Bit();
         RemoveUserServer(KEY_WOW64_32KEY);
     },
     L"", nullptr, true},
    {"NotRegistered", [] { RemoveUserClass(); }, L"", nullptr},
    {"ServerFileMissing",
     [] { RegisterUserServer(KEY_WOW64_32KEY, REG_SZ, L"C:\\Lab\\Gone\\BrevantoStandin.dll"); },
     L"", nullptr},
    {"CommandLineFolder", [] {}, kOverride, [] { return std::wstring(kCommandLineFolder); }},
    {"CommandLineFolderWithoutComponents", [] { RemoveUserClass(); }, kOverride,
     [] { return std::wstring(kCommandLineFolder); }},
};

class InstallFolder : public PackageTest, public testing::WithParamInterface<Workstation> {};

TEST_P(InstallFolder, IsTheCommandLinesElseTheComponentsElseTheInstallFails) {
    const Workstation& workstation = GetParam();
    if (workstation.needsTwoViews && !HasTwoViews()) {
        BREVANTO_SKIP(runner::kNotApplicableSkip, "32-bit Windows has one registry view");
    }
    workstation.arrange();
    const std::wstring folder = workstation.folder ? workstation.folder() : L"";

    const InstallerRun run = Install(older_, workstation.arguments);

    for (const std::wstring& other : FoldersOfTheTests()) {
        if (other != folder) {
            EXPECT_TRUE(NoExeIn(other)) << Utf8(other);
        }
    }
    const auto entries = UninstallEntries(kDisplayName);
    if (folder.empty()) {
        // Nothing placed, nothing registered.
        EXPECT_EQ(run.status, kFatalError) << Utf8(run.log);
        EXPECT_TRUE(InstalledProducts(upgradeCode_).empty());
        EXPECT_TRUE(entries.empty());
        EXPECT_FALSE(RememberedFolder());
        return;
    }
    EXPECT_EQ(run.status, kInstalled) << Utf8(run.log);
    EXPECT_TRUE(BothExesIn(folder)) << Utf8(folder);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].installLocation, folder + L"\\");
    EXPECT_EQ(RememberedFolder().value_or(L"(none)"), folder + L"\\");
}

INSTANTIATE_TEST_SUITE_P(Package, InstallFolder, testing::ValuesIn(kWorkstations),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace brevanto::msi
