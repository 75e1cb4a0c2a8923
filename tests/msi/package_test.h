#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "tests/msi/components.h"
#include "tests/msi/installer.h"
#include "tests/support/settings.h"

namespace brevanto::msi {

// msiexec's exit statuses the tests expect, as DWORDs: what GetExitCodeProcess gives.
inline constexpr DWORD kInstalled = ERROR_SUCCESS;
inline constexpr DWORD kFatalError = ERROR_INSTALL_FAILURE; // 1603

inline constexpr wchar_t kDisplayName[] = L"ZELTAR Brevanto";
inline constexpr wchar_t kProgramExe[] = L"Brevanto.exe";
inline constexpr wchar_t kCheckExe[] = L"brevanto-check.exe";
// A folder an administrator names on the command line, one the components move to, and one
// where a 64-bit build of them is registered.
inline constexpr wchar_t kCommandLineFolder[] = L"C:\\Lab\\Brevanto";
inline constexpr wchar_t kMovedComponentsFolder[] = L"C:\\Lab\\Components";
inline constexpr wchar_t k64BitComponentsFolder[] = L"C:\\Lab\\Components64";

// Each test starts on a workstation with the stand-in components installed and registered in
// the vendor's folder, nothing of Brevanto installed and an empty settings store, and removes
// whatever it installed; the settings it found are put back.
class PackageTest : public testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    // msiexec /i of a package, silently, with more arguments (properties) when given.
    InstallerRun Install(const std::wstring& package, const std::wstring& arguments = L"");
    InstallerRun Uninstall(const std::wstring& productCode);
    // A log name for the test's next msiexec run.
    std::wstring LogName(const wchar_t* step) const;

    const std::wstring older_ = PackagePath(L"BREVANTO_OLDER_PACKAGE");
    const std::wstring newer_ = PackagePath(L"BREVANTO_NEWER_PACKAGE");
    const std::wstring upgradeCode_ = PackageProperty(older_, L"UpgradeCode");

private:
    void RemoveEverything();

    std::optional<support::SavedSettings> settings_;
};

// Both of Brevanto's files are in the folder; none is.
bool BothExesIn(const std::wstring& folder);
bool NoExeIn(const std::wstring& folder);
// The folder the package remembered for repair, upgrade and uninstall; nothing when none.
std::optional<std::wstring> RememberedFolder();
// Every folder a test installs into or looks at, the default one of the Directory table too.
std::vector<std::wstring> FoldersOfTheTests();

} // namespace brevanto::msi
