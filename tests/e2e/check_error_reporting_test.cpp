#include "tests/e2e/check_run.h"

#include <windows.h>

#include <sddl.h>

#include <functional>
#include <memory>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "platform/security/accounts.h"
#include "tests/conformance/conformance.h"

namespace brevanto::e2e {
namespace {

constexpr wchar_t kSettingKey[] = L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting";
constexpr wchar_t kPolicyKey[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Windows Error Reporting";
constexpr wchar_t kLocalDumpsKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps\\Brevanto.exe";

bool KeyExists(HKEY root, const std::wstring& path) {
    UniqueRegistryKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.Put()) ==
           ERROR_SUCCESS;
}

// The topmost key on the path that is not there yet; empty when every one is.
std::wstring FirstMissingKey(HKEY root, const std::wstring& path) {
    for (std::size_t at = path.find(L'\\');; at = path.find(L'\\', at + 1)) {
        const std::wstring key = path.substr(0, at);
        if (!KeyExists(root, key))
            return key;
        if (at == std::wstring::npos)
            return {};
    }
}

// A value of a key, in the 64-bit view where there is one, gone again with this object, and so
// is every key made for it: a LocalDumps key left behind would have every later crash write a
// dump.
class StoredValue {
public:
    StoredValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data,
                DWORD size)
        : root_(root), path_(path), name_(name), made_(FirstMissingKey(root, path)) {
        UniqueRegistryKey key;
        EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                                  nullptr, key.Put(), nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    ~StoredValue() {
        if (made_.empty()) {
            UniqueRegistryKey key;
            if (RegOpenKeyExW(root_, path_, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, key.Put()) ==
                ERROR_SUCCESS)
                RegDeleteValueW(key.Get(), name_);
            return;
        }
        UniqueRegistryKey key;
        if (RegOpenKeyExW(root_, made_.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, key.Put()) ==
            ERROR_SUCCESS)
            RegDeleteTreeW(key.Get(), nullptr);
        key.Reset();
        EXPECT_EQ(RegDeleteKeyExW(root_, made_.c_str(), KEY_WOW64_64KEY, 0), ERROR_SUCCESS);
    }
    StoredValue(const StoredValue&) = delete;
    StoredValue& operator=(const StoredValue&) = delete;

private:
    HKEY root_;
    const wchar_t* path_;
    const wchar_t* name_;
    std::wstring made_;
};

std::unique_ptr<StoredValue> DontShowUi(HKEY root, const wchar_t* path, DWORD value) {
    return std::make_unique<StoredValue>(root, path, L"DontShowUI", REG_DWORD, &value,
                                         static_cast<DWORD>(sizeof value));
}

// Windows Error Reporting reads DontShowUI from the policy first, then the machine's and the
// user's settings; a dialog it shows for a crashed program would wait for a person.
TEST_F(NewLabUser, CheckSaysWhetherWindowsErrorReportingsDialogWouldWaitForAPerson) {
    struct Case {
        const char* name;
        std::function<std::vector<std::unique_ptr<StoredValue>>()> store;
        std::string errorDialog;
    };
    const Case cases[] = {
        {"set nowhere", [] { return std::vector<std::unique_ptr<StoredValue>>{}; },
         R"("errorDialog":{"hidden":false,"dontShowUiSetIn":""})"},
        {"the machine's setting",
         [] {
             std::vector<std::unique_ptr<StoredValue>> values;
             values.push_back(DontShowUi(HKEY_LOCAL_MACHINE, kSettingKey, 1));
             return values;
         },
         R"("errorDialog":{"hidden":true,"dontShowUiSetIn":"HKEY_LOCAL_MACHINE\\SOFTWARE\\)"
         R"(Microsoft\\Windows\\Windows Error Reporting"})"},
        {"the user's setting",
         [] {
             std::vector<std::unique_ptr<StoredValue>> values;
             values.push_back(DontShowUi(HKEY_CURRENT_USER, kSettingKey, 1));
             return values;
         },
         R"("errorDialog":{"hidden":true,"dontShowUiSetIn":"HKEY_CURRENT_USER\\SOFTWARE\\)"
         R"(Microsoft\\Windows\\Windows Error Reporting"})"},
        {"a policy of 0 over the machine's 1",
         [] {
             std::vector<std::unique_ptr<StoredValue>> values;
             values.push_back(DontShowUi(HKEY_LOCAL_MACHINE, kSettingKey, 1));
             values.push_back(DontShowUi(HKEY_LOCAL_MACHINE, kPolicyKey, 0));
             return values;
         },
         R"("errorDialog":{"hidden":false,"dontShowUiSetIn":"HKEY_LOCAL_MACHINE\\SOFTWARE\\)"
         R"(Policies\\Microsoft\\Windows\\Windows Error Reporting"})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckRun run;
        {
            const auto values = c.store();
            run = RunCheck(L" --json");
        }
        EXPECT_EQ(run.status, 0) << run.bytes;
        EXPECT_NE(run.bytes.find(c.errorDialog), std::string::npos) << run.bytes;
    }
}

void SetPermissions(const std::wstring& path, const std::wstring& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    const UniqueLocal held(descriptor);
    ASSERT_TRUE(SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor))
        << GetLastError();
}

// A dump holds what the components held, the password included.
TEST_F(NewLabUser, CheckSaysWhenOtherUsersCanReadTheDumpsInTheDumpFolder) {
    const std::wstring folder = TempFolder() + L"\\BrevantoDumpsTest";
    RemoveDirectoryW(folder.c_str());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << GetLastError();
    const StoredValue dumpFolder(HKEY_LOCAL_MACHINE, kLocalDumpsKey, L"DumpFolder", REG_SZ,
                                 folder.c_str(),
                                 static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    const std::wstring user = ReadCurrentAccount().sid;
    struct Case {
        const char* name;
        std::wstring sddl;
        std::string dumpFolder;
    };
    const Case cases[] = {
        {"everyone may read what is made there",
         L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + user + L")(A;OICI;0x1200a9;;;WD)",
         R"("dumpFolder":{"exists":true,"judged":true,"readableByOthers":true,"readers":)"
         R"(["Everyone (S-1-1-0): read the files made in it"]})"},
        {"only this user, SYSTEM and administrators",
         L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + user + L")",
         R"("dumpFolder":{"exists":true,"judged":true,"readableByOthers":false,"readers":[]})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetPermissions(folder, c.sddl);
        const CheckRun run = RunCheck(L" --json");
        EXPECT_EQ(run.status, 0) << run.bytes;
        EXPECT_NE(run.bytes.find(c.dumpFolder), std::string::npos) << run.bytes;
        EXPECT_EQ(run.bytes.find("other users can read the crash dumps") != std::string::npos,
                  c.dumpFolder.find("\"readableByOthers\":true") != std::string::npos)
            << run.bytes;
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace
} // namespace brevanto::e2e
