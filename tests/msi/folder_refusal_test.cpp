#include <windows.h>

#include <algorithm>
#include <functional>

#include "platform/base/utf8.h"
#include "tests/conformance/conformance.h"
#include "tests/msi/package_test.h"
#include "tests/support/dacl_text.h"
#include "tests/support/environment_variable.h"

namespace brevanto::msi {
namespace {

using conformance::WindowsOnlyCheck;
using support::DaclText;
using support::EnvironmentValue;

struct RefusedFolder {
    const char* name;
    std::function<std::wstring()> folder; // given on the command line
    const wchar_t* reason;                // a part of the log's line
};

const RefusedFolder kRefusedFolders[] = {
    {"Network", [] { return std::wstring(L"\\\\labserver\\share\\Brevanto"); }, L"network path"},
    {"Relative", [] { return std::wstring(L"Lab\\Brevanto"); }, L"not an absolute path"},
    {"LongPathPrefix", [] { return std::wstring(L"\\\\?\\C:\\Lab\\Brevanto"); }, L"path"},
    {"Temp", [] { return EnvironmentValue(L"TEMP") + L"\\Brevanto"; }, L"temporary folder"},
    {"UserProfile", [] { return EnvironmentValue(L"USERPROFILE") + L"\\Brevanto"; },
     L"user profile"},
};

class FolderRefused : public PackageTest, public testing::WithParamInterface<RefusedFolder> {};

TEST_P(FolderRefused, EndsWith1603PlacesNothingAndTheLogNamesTheFolder) {
    const RefusedFolder& refused = GetParam();
    const std::wstring folder = refused.folder();

    const InstallerRun run = Install(older_, L"INSTALLFOLDER=\"" + folder + L"\"");
    EXPECT_EQ(run.status, kFatalError) << Utf8(run.log);
    EXPECT_TRUE(InstalledProducts(upgradeCode_).empty());
    EXPECT_TRUE(UninstallEntries(kDisplayName).empty());
    EXPECT_FALSE(RememberedFolder());
    for (const std::wstring& other : FoldersOfTheTests())
        EXPECT_TRUE(NoExeIn(other)) << Utf8(other);
    if (folder.size() > 2 && folder[1] == L':') {
        EXPECT_TRUE(NoExeIn(folder)) << Utf8(folder);
    }

    const std::wstring log = LogText(run);
    const std::wstring line = L"the folder \"" + folder + L"\" is refused: ";
    const auto at = log.find(line);
    ASSERT_NE(at, std::wstring::npos) << Utf8(line) << " not in " << Utf8(run.log);
    EXPECT_NE(log.substr(at, log.find(L'\n', at) - at).find(refused.reason), std::wstring::npos)
        << Utf8(log.substr(at, 300));
}

INSTANTIATE_TEST_SUITE_P(Package, FolderRefused, testing::ValuesIn(kRefusedFolders),
                         [](const auto& info) { return std::string(info.param.name); });

// Components registered where their user, not an administrator, decides what is there give no
// folder: the install is refused as if none were registered.
TEST_F(PackageTest, ComponentsInAUserProfileGiveNoFolder) {
    const std::wstring profileFolder = EnvironmentValue(L"USERPROFILE") + L"\\ZELTAR\\Components";
    InstallStandins(profileFolder);

    const InstallerRun run = Install(older_);
    EXPECT_EQ(run.status, kFatalError) << Utf8(run.log);
    EXPECT_TRUE(NoExeIn(profileFolder));
    EXPECT_TRUE(InstalledProducts(upgradeCode_).empty());
    EXPECT_NE(LogText(run).find(L"whose folder is not taken: it is under"), std::wstring::npos)
        << Utf8(run.log);
}

// A bare file name is no folder: looked up on the search path, it would install Brevanto beside
// whatever DLL of that name comes first there. ole32.dll is in the system folder of every Windows,
// so a search would find one; nothing is put there.
TEST_F(PackageTest, AServerRegisteredByABareNameGivesNoFolder) {
    wchar_t folder[MAX_PATH];
    const std::wstring systemFolder(folder, GetSystemDirectoryW(folder, MAX_PATH));
    const std::wstring windowsFolder(folder, GetWindowsDirectoryW(folder, MAX_PATH));
    RegisterUserServer(KEY_WOW64_32KEY, REG_SZ, L"ole32.dll");

    const InstallerRun run = Install(older_);
    EXPECT_EQ(run.status, kFatalError) << Utf8(run.log);
    for (const std::wstring& searched : {systemFolder, windowsFolder}) {
        EXPECT_TRUE(NoExeIn(searched)) << Utf8(searched);
        // Only a wrongly placed exe is removed, never anything the folder held.
        if (!NoExeIn(searched)) {
            DeleteFileW((searched + L"\\" + kProgramExe).c_str());
            DeleteFileW((searched + L"\\" + kCheckExe).c_str());
        }
    }
    EXPECT_TRUE(InstalledProducts(upgradeCode_).empty());
}

// A folder that is not there yet is made by the package (as SYSTEM, before the files come);
// under Wine only that it is made can be seen, not the permissions it is made with.
TEST_F(PackageTest, AMissingFolderIsMadeWithEveryFolderAboveIt) {
    const std::wstring top = L"C:\\LabNew";
    const std::wstring folder = top + L"\\Reports\\Brevanto";
    const auto clean = [&] {
        for (const std::wstring& path : {folder, top + L"\\Reports", top}) {
            DeleteFileW((path + L"\\" + kProgramExe).c_str());
            DeleteFileW((path + L"\\" + kCheckExe).c_str());
            RemoveDirectoryW(path.c_str());
        }
    };
    clean();
    ASSERT_EQ(GetFileAttributesW(top.c_str()), INVALID_FILE_ATTRIBUTES);

    const InstallerRun run = Install(older_, L"INSTALLFOLDER=\"" + folder + L"\"");
    EXPECT_EQ(run.status, kInstalled) << Utf8(run.log);
    EXPECT_TRUE(BothExesIn(folder));
    EXPECT_NE(LogText(run).find(L"the folder \"" + folder + L"\" will be made from \"" + top +
                                L"\" down, each folder with full control for SYSTEM"),
              std::wstring::npos)
        << Utf8(run.log);
    EXPECT_NE(LogText(run).find(L"made the folder \"" + top + L"\" with full control for SYSTEM"),
              std::wstring::npos)
        << Utf8(run.log);
    // Each folder made inherits nothing: SYSTEM and administrators may change it, users read and
    // run what it holds. Wine gives every folder the same descriptor whatever it is made with.
    if (WindowsOnlyCheck("the permissions of the folders the package makes")) {
        for (const std::wstring& made : {top, top + L"\\Reports", folder}) {
            const std::wstring dacl = DaclText(made);
            EXPECT_EQ(dacl.substr(0, 3), L"D:P") << Utf8(made) << ": " << Utf8(dacl);
            EXPECT_EQ(dacl.substr(std::min(dacl.find(L'('), dacl.size())),
                      L"(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)")
                << Utf8(made);
        }
    }
    ASSERT_EQ(Uninstall(PackageProperty(older_, L"ProductCode")).status, kInstalled);
    EXPECT_TRUE(NoExeIn(folder));
    clean();
}

} // namespace
} // namespace brevanto::msi
