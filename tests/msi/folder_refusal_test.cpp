#include <functional>

#include "platform/utf8.h"
#include "tests/msi/package_test.h"

namespace brevanto::msi {
namespace {

std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    GetEnvironmentVariableW(name, value, MAX_PATH);
    return value;
}

struct RefusedFolder {
    const char* name;
    std::function<std::wstring()> folder; // given on the command line
    const wchar_t* reason;                // a part of the log's line
};

const RefusedFolder kRefusedFolders[] = {
    {"Network", [] { return std::wstring(L"\\\\labserver\\share\\Brevanto"); }, L"network path"},
    {"Relative", [] { return std::wstring(L"Lab\\Brevanto"); }, L"not an absolute path"},
    {"LongPathPrefix", [] { return std::wstring(L"\\\\?\\C:\\Lab\\Brevanto"); }, L"path"},
    {"Temp", [] { return Environment(L"TEMP") + L"\\Brevanto"; }, L"temporary folder"},
    {"UserProfile", [] { return Environment(L"USERPROFILE") + L"\\Brevanto"; }, L"user profile"},
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
    const std::wstring profileFolder = Environment(L"USERPROFILE") + L"\\ZELTAR\\Components";
    InstallStandins(profileFolder);

    const InstallerRun run = Install(older_);
    EXPECT_EQ(run.status, kFatalError) << Utf8(run.log);
    EXPECT_TRUE(NoExeIn(profileFolder));
    EXPECT_TRUE(InstalledProducts(upgradeCode_).empty());
    EXPECT_NE(LogText(run).find(L"whose folder is not taken: it is under"), std::wstring::npos)
        << Utf8(run.log);
}

// A bare file name is no folder: looked up on the search path, it would install Brevanto beside
// whatever DLL of that name comes first there (here the Windows folder's).
TEST_F(PackageTest, AServerRegisteredByABareNameGivesNoFolder) {
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring windowsFolder(windows, length);
    const std::wstring planted = CopyStandins(windowsFolder);
    RegisterUserServer(KEY_WOW64_32KEY, REG_SZ, L"BrevantoStandin.dll");

    const InstallerRun run = Install(older_);
    const bool placed = !NoExeIn(windowsFolder);
    DeleteFileW((windowsFolder + L"\\" + kProgramExe).c_str());
    DeleteFileW((windowsFolder + L"\\" + kCheckExe).c_str());
    DeleteFileW(planted.c_str());
    EXPECT_EQ(run.status, kFatalError) << Utf8(run.log);
    EXPECT_FALSE(placed);
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
    ASSERT_EQ(Uninstall(PackageProperty(older_, L"ProductCode")).status, kInstalled);
    EXPECT_TRUE(NoExeIn(folder));
    clean();
}

} // namespace
} // namespace brevanto::msi
