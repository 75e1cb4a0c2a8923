#include <windows.h>

#include <vector>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/conformance/conformance.h"
#include "tests/msi/package_test.h"
#include "tests/msi/registry_views.h"
#include "tests/support/captured_run.h"
#include "tests/support/removed_local_dumps.h"

namespace brevanto::msi {
namespace {

constexpr wchar_t kSourceKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Brevanto";

struct SourceSeen {
    bool exists = false;
    DWORD fileType = 0;
    std::wstring messageFile;
    DWORD typesType = 0;
    DWORD typesSupported = 0;
};

SourceSeen ReadSource(REGSAM view) {
    SourceSeen seen;
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSourceKey, 0, KEY_READ | view, key.Put()) !=
        ERROR_SUCCESS)
        return seen;
    seen.exists = true;
    wchar_t file[MAX_PATH * 2] = {};
    DWORD size = sizeof file - sizeof(wchar_t);
    if (RegQueryValueExW(key.Get(), L"EventMessageFile", nullptr, &seen.fileType,
                         reinterpret_cast<BYTE*>(file), &size) == ERROR_SUCCESS)
        seen.messageFile = file;
    size = sizeof seen.typesSupported;
    RegQueryValueExW(key.Get(), L"TypesSupported", nullptr, &seen.typesType,
                     reinterpret_cast<BYTE*>(&seen.typesSupported), &size);
    return seen;
}

std::string JsonText(const std::wstring& text) {
    std::string json;
    for (const char c : Utf8(text))
        json += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "\"" + json + "\"";
}

std::string CheckJson() {
    const std::wstring check = VendorFolder() + L"\\brevanto-check.exe";
    const auto run =
        support::RunCapturingOutput(check, L"\"" + check + L"\" --json", L"C:\\", 30000);
    return run ? run->output : std::string();
}

TEST_F(PackageTest, RegistersTheEventSourceWithTheInstalledExeAndUninstallRemovesIt) {
    ASSERT_EQ(Install(older_).status, kInstalled);
    const std::wstring exe = VendorFolder() + L"\\" + kProgramExe;
    // HKLM\SYSTEM has no 32-bit view of its own: both views see the one key.
    for (const REGSAM view : RegistryViews()) {
        SCOPED_TRACE(view);
        const SourceSeen seen = ReadSource(view);
        ASSERT_TRUE(seen.exists);
        EXPECT_TRUE(seen.fileType == REG_SZ || seen.fileType == REG_EXPAND_SZ) << seen.fileType;
        EXPECT_EQ(Utf8(seen.messageFile), Utf8(exe));
        EXPECT_EQ(seen.typesType, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(seen.typesSupported, 7u);
    }
    const std::string json = CheckJson();
    EXPECT_NE(
        json.find("\"eventSource\":{\"registered\":true,\"messageFile\":" + JsonText(exe) + "}"),
        std::string::npos)
        << json;

    ASSERT_EQ(Uninstall(PackageProperty(older_, L"ProductCode")).status, kInstalled);
    for (const REGSAM view : RegistryViews())
        EXPECT_FALSE(ReadSource(view).exists) << view;
}

// LocalDumps is read in the 64-bit view by the 32-bit exes, where administrators and Windows
// keep it; a key in the 32-bit view alone is not Windows' own.
TEST_F(PackageTest, CheckReadsLocalDumpsInThe64BitView) {
    if (!HasTwoViews())
        BREVANTO_SKIP(runner::kNotApplicableSkip, "a 32-bit Windows has one registry view");
    ASSERT_EQ(Install(older_).status, kInstalled);
    const support::RemovedLocalDumps removed;
    const auto store = [](REGSAM view, const std::wstring& folder) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, support::kLocalDumpsKey, 0, nullptr, 0,
                                  KEY_SET_VALUE | view, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, L"DumpFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    };
    store(KEY_WOW64_64KEY, L"C:\\Dumps\\Windows");
    store(KEY_WOW64_32KEY, L"C:\\Dumps\\Redirected");
    const std::string json = CheckJson();
    EXPECT_NE(json.find("\"crashDumps\":{\"configured\":true,\"folder\":" +
                        JsonText(L"C:\\Dumps\\Windows") + ",\"count\":10,\"type\":\"mini\"}"),
              std::string::npos)
        << json;
}

} // namespace
} // namespace brevanto::msi
