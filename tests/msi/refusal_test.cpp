#include <functional>
#include <vector>

#include "platform/base/utf8.h"
#include "tests/msi/package_test.h"

namespace brevanto::msi {
namespace {

struct Refusal {
    const char* name;
    std::function<void(PackageTest&)> arrange;
    std::vector<std::wstring> said; // parts of the message the installer shows
};

const Refusal kRefusals[] = {
    {"NoFolder",
     [](PackageTest&) { RemoveUserClass(); },
     {L"\"ZELTAR_User.clsCurrentUser\"", L"32-bit", L"INSTALLFOLDER="}},
    {"OlderThanTheInstalledVersion",
     [](PackageTest& test) { ASSERT_EQ(test.Install(test.newer_).status, kInstalled); },
     {L"A newer version of ZELTAR Brevanto is already installed"}},
};

class InstallRefused : public PackageTest, public testing::WithParamInterface<Refusal> {};

// Silently (what a deployment tool sees), then with a basic user interface, which shows the
// message: Wine writes a launch condition's message into no log, Windows into the verbose one.
TEST_P(InstallRefused, EndsWith1603ChangesNothingAndSaysWhy) {
    const Refusal& refusal = GetParam();
    refusal.arrange(*this);
    ASSERT_FALSE(HasFatalFailure());
    const auto products = InstalledProducts(upgradeCode_);
    const auto entries = UninstallEntries(kDisplayName).size();

    const InstallerRun silent = Install(older_);
    EXPECT_EQ(silent.status, kFatalError) << Utf8(silent.log);
    EXPECT_EQ(InstalledProducts(upgradeCode_), products);
    EXPECT_EQ(UninstallEntries(kDisplayName).size(), entries);

    const RefusalSeen seen = MsiexecShowingMessage(L"/i \"" + older_ + L"\"", LogName(L"shown"));
    EXPECT_EQ(seen.status, kFatalError);
    ASSERT_TRUE(seen.message) << "no message box";
    for (const std::wstring& part : refusal.said)
        EXPECT_NE(seen.message->find(part), std::wstring::npos)
            << Utf8(part) << " not in: " << Utf8(*seen.message);
    EXPECT_EQ(InstalledProducts(upgradeCode_), products);
}

INSTANTIATE_TEST_SUITE_P(Package, InstallRefused, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace brevanto::msi
