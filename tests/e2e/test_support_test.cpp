#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/conformance/conformance.h"
#include "tests/support/process_list.h"
#include "tests/support/registry_tree.h"
#include "tests/support/settings.h"

namespace brevanto::e2e {
namespace {

constexpr wchar_t kScratch[] = L"Software\\BrevantoTest\\Saved";

void StoreText(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    support::StoreUserValue(key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// What a test changes of a key it saved, the tests' guard puts back: values of every type, the
// default value, subkeys at any depth, and a key that was not there is not there afterwards.
TEST(SavedRegistryKey, PutsBackWhatItFoundValuesSubkeysAndAll) {
    support::DeleteUserKey(L"Software\\BrevantoTest");
    const DWORD number = 7;
    const BYTE bytes[] = {1, 0, 2};
    StoreText(kScratch, L"", L"default");
    StoreText(kScratch, L"Username", L"labtech");
    support::StoreUserValue(kScratch, L"Count", REG_DWORD, &number, sizeof number);
    support::StoreUserValue(kScratch, L"Raw", REG_BINARY, bytes, sizeof bytes);
    StoreText(std::wstring(kScratch) + L"\\Section\\Deeper", L"Key", L"value");
    support::StoreUserValue(std::wstring(kScratch) + L"\\Empty", L"Nothing", REG_NONE, nullptr, 0);
    const support::RegistryTree before = support::ReadRegistryTree(HKEY_CURRENT_USER, kScratch);
    ASSERT_TRUE(before.exists);
    ASSERT_EQ(before.values.size(), 4u);
    ASSERT_EQ(before.subkeys.size(), 2u);

    {
        support::SavedRegistryKey saved(HKEY_CURRENT_USER, kScratch);
        support::DeleteUserKey(std::wstring(kScratch) + L"\\Section");
        StoreText(kScratch, L"Username", L"someone else");
        StoreText(std::wstring(kScratch) + L"\\Added", L"New", L"value");
        saved.Restore();
    }
    EXPECT_TRUE(support::ReadRegistryTree(HKEY_CURRENT_USER, kScratch) == before);

    const std::wstring absent = std::wstring(kScratch) + L"\\Absent";
    {
        const support::SavedRegistryKey saved(HKEY_CURRENT_USER, absent);
        StoreText(absent, L"Made", L"by the test");
    }
    EXPECT_FALSE(support::ReadRegistryTree(HKEY_CURRENT_USER, absent).exists);
    support::DeleteUserKey(L"Software\\BrevantoTest");
}

// What tells an error report started for the program from one for another process.
TEST(ProcessCommandLine, IsTheCommandLineTheProcessWasStartedWith) {
    wchar_t system[MAX_PATH];
    const std::wstring cmd =
        std::wstring(system, GetSystemDirectoryW(system, MAX_PATH)) + L"\\cmd.exe";
    std::wstring line = L"\"" + cmd + L"\" /c exit 3";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(cmd.c_str(), line.data(), nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                               &started))
        << GetLastError();
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    const auto seen = support::ProcessCommandLine(started.dwProcessId);
    TerminateProcess(process.Get(), 0);
    WaitForSingleObject(process.Get(), 5000);
    EXPECT_TRUE(seen == line ||
                conformance::WineOnly(!seen, "Wine 8 gives no other process's command line "
                                             "(NtQueryInformationProcess, class 60)"))
        << (seen ? Utf8(*seen) : std::string("(none)"));
}

} // namespace
} // namespace brevanto::e2e
