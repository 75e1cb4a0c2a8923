#include "tests/msi/package_test.h"

#include <windows.h>

#include <algorithm>

#include "platform/base/file_paths.h"
#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "platform/com/class_registration.h"
#include "platform/security/accounts.h"
#include "tests/conformance/conformance.h"
#include "tests/msi/registry_views.h"

namespace brevanto::msi {
namespace {

constexpr wchar_t kRememberKey[] = L"SOFTWARE\\ZELTAR\\Brevanto";

} // namespace

void PackageTest::SetUp() {
    // msiexec installs per machine, and the tests change the machine's classes and folders.
    if (!ProcessIsElevated())
        BREVANTO_SKIP(runner::kNeedsElevationSkip,
                      "the package installs for the machine, which needs an elevated run");
    InstallStandins(VendorFolder());
    RemoveEverything();
    settings_.emplace();
    support::ClearSettings();
}

void PackageTest::TearDown() {
    if (!settings_)
        return; // skipped before anything was changed
    RemoveEverything();
    settings_->Restore();
}

// Undoes what an earlier test may have left, a failed one too: every installed version, then any
// file of ours and the remembered folder, and a 64-bit registration of the user class.
void PackageTest::RemoveEverything() {
    for (const std::wstring& product : InstalledProducts(upgradeCode_))
        Uninstall(product);
    for (const std::wstring& folder : FoldersOfTheTests()) {
        DeleteFileW((folder + L"\\" + kProgramExe).c_str());
        DeleteFileW((folder + L"\\" + kCheckExe).c_str());
    }
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kRememberKey, KEY_WOW64_32KEY, 0);
    if (HasTwoViews())
        RemoveUserServer(KEY_WOW64_64KEY);
}

InstallerRun PackageTest::Install(const std::wstring& package, const std::wstring& arguments) {
    return Msiexec(L"/i \"" + package + L"\" /qn" + (arguments.empty() ? L"" : L" " + arguments),
                   LogName(L"install"));
}

InstallerRun PackageTest::Uninstall(const std::wstring& productCode) {
    return Msiexec(L"/x " + productCode + L" /qn", LogName(L"uninstall"));
}

std::wstring PackageTest::LogName(const wchar_t* step) const {
    static int runs = 0;
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name =
        test ? FromUtf8(std::string(test->test_suite_name()) + "." + test->name()) : L"setup";
    std::replace(name.begin(), name.end(), L'/', L'-');
    return name + L"-" + std::to_wstring(++runs) + L"-" + step;
}

bool BothExesIn(const std::wstring& folder) {
    return FileExists(folder + L"\\" + kProgramExe) && FileExists(folder + L"\\" + kCheckExe);
}

bool NoExeIn(const std::wstring& folder) {
    return !FileExists(folder + L"\\" + kProgramExe) && !FileExists(folder + L"\\" + kCheckExe);
}

std::optional<std::wstring> RememberedFolder() {
    UniqueRegistryKey key;
    wchar_t folder[MAX_PATH] = {};
    DWORD size = sizeof folder;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRememberKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                      key.Put()) != ERROR_SUCCESS ||
        RegGetValueW(key.Get(), nullptr, L"InstallFolder", RRF_RT_REG_SZ, nullptr, folder, &size) !=
            ERROR_SUCCESS)
        return std::nullopt;
    return folder;
}

std::vector<std::wstring> FoldersOfTheTests() {
    return {VendorFolder(), kCommandLineFolder, kMovedComponentsFolder, k64BitComponentsFolder,
            ProgramFilesFolder() + L"\\Brevanto"};
}

} // namespace brevanto::msi
