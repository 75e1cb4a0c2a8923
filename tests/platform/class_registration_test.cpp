#include <gtest/gtest.h>

#include <windows.h>

#include "platform/com/class_registration.h"
#include "platform/com/ole_apartment.h"
#include "platform/security/accounts.h"
#include "tests/conformance/conformance.h"
#include "tests/support/settings.h"

namespace brevanto::platform_test {
namespace {

constexpr wchar_t kProgId[] = L"BrevantoTest.Registration";
constexpr wchar_t kClsid[] = L"{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5CF1}";
constexpr wchar_t kOtherClsid[] = L"{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5CF2}";
constexpr wchar_t kLongVariable[] = L"BREVANTO_TEST_LONG";

std::wstring ClassKey(const wchar_t* clsid) {
    return std::wstring(L"CLSID\\") + clsid;
}

void SetValue(HKEY root, const std::wstring& key, const wchar_t* name, DWORD type, const void* data,
              std::size_t size) {
    ASSERT_EQ(RegSetKeyValueW(root, key.c_str(), name, type, data, static_cast<DWORD>(size)),
              ERROR_SUCCESS);
}

void SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    SetValue(root, key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// A class registered in the classes root for the test alone, removed before and after, with the
// user's classes too. A new key written to the classes root goes to the machine's classes, which
// only an elevated process may change.
class ClassRegistrationTest : public testing::Test {
protected:
    void SetUp() override {
        if (!ProcessIsElevated())
            BREVANTO_SKIP(runner::kNeedsElevationSkip,
                          "a class written to HKEY_CLASSES_ROOT goes to the machine's classes");
        Remove();
        SetText(HKEY_CLASSES_ROOT, std::wstring(kProgId) + L"\\CLSID", nullptr, kClsid);
    }
    void TearDown() override {
        Remove();
        SetEnvironmentVariableW(kLongVariable, nullptr);
    }
    static void Remove() {
        for (const std::wstring& key :
             {std::wstring(kProgId), ClassKey(kClsid), ClassKey(kOtherClsid)}) {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
            support::DeleteUserKey(L"Software\\Classes\\" + key);
        }
    }
    const OleApartment ole_;
};

TEST_F(ClassRegistrationTest, TheServerPathIsReadWhateverShapeItsValueHas) {
    // Windows expands at most 32K characters.
    const std::wstring longFolder = L"C:\\" + std::wstring(20000, L'l');
    ASSERT_TRUE(SetEnvironmentVariableW(kLongVariable, longFolder.c_str()));
    const std::wstring huge = L"C:\\" + std::wstring(70000, L'h') + L"\\x.dll";
    const wchar_t noTerminator[] = {L'C', L':', L'\\', L'n', L'.', L'd', L'l', L'l'};
    const wchar_t embeddedNul[] = L"C:\\e.dll\0tail";
    const std::wstring expandable = L"%BREVANTO_TEST_LONG%\\x.dll";
    struct Case {
        const char* name;
        DWORD type;
        const void* data;
        std::size_t size;
        std::wstring path;
    };
    const Case cases[] = {
        {"odd byte count, last byte not zero", REG_SZ, L"C:\\odd.dllX", 10 * sizeof(wchar_t) + 1,
         L"C:\\odd.dll"},
        {"no terminator", REG_SZ, noTerminator, sizeof noTerminator, L"C:\\n.dll"},
        {"embedded NUL", REG_SZ, embeddedNul, sizeof embeddedNul, L"C:\\e.dll"},
        {"larger than any first buffer", REG_SZ, huge.c_str(), (huge.size() + 1) * sizeof(wchar_t),
         huge},
        {"expansion much longer than the value", REG_EXPAND_SZ, expandable.c_str(),
         (expandable.size() + 1) * sizeof(wchar_t), longFolder + L"\\x.dll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetValue(HKEY_CLASSES_ROOT, ClassKey(kClsid) + L"\\InprocServer32", nullptr, c.type, c.data,
                 c.size);
        const ClassRegistration registration = ReadClassRegistration(kProgId);
        EXPECT_EQ(registration.serverKind, L"InprocServer32");
        EXPECT_EQ(registration.serverPath.size(), c.path.size());
        EXPECT_TRUE(registration.serverPath == c.path);
    }
}

TEST_F(ClassRegistrationTest, TreatAsIsFollowedToTheServerCreated) {
    SetText(HKEY_CLASSES_ROOT, ClassKey(kClsid) + L"\\InprocServer32", nullptr, L"C:\\old.dll");
    SetText(HKEY_CLASSES_ROOT, ClassKey(kClsid) + L"\\TreatAs", nullptr, kOtherClsid);
    SetText(HKEY_CLASSES_ROOT, ClassKey(kOtherClsid) + L"\\InprocServer32", nullptr,
            L"C:\\new.dll");
    const ClassRegistration registration = ReadClassRegistration(kProgId);
    EXPECT_EQ(registration.clsid, kClsid);
    EXPECT_EQ(registration.treatAs, kOtherClsid);
    EXPECT_EQ(registration.serverPath, L"C:\\new.dll");
}

// Windows merges the user's classes over the machine's; Wine does not, so the check reads them
// itself.
TEST_F(ClassRegistrationTest, TheUsersClassesHideTheMachinesAsOnWindows) {
    SetText(HKEY_CLASSES_ROOT, ClassKey(kClsid) + L"\\InprocServer32", nullptr, L"C:\\machine.dll");
    const std::wstring userServer = L"Software\\Classes\\" + ClassKey(kClsid) + L"\\InprocServer32";
    SetText(HKEY_CURRENT_USER, userServer, nullptr, L"C:\\user.dll");

    const ClassRegistration merged = ReadMergedClassRegistration(kProgId);
    EXPECT_EQ(merged.serverPath, L"C:\\user.dll");
    EXPECT_TRUE(merged.fromUserClasses);
    const ClassRegistration machine = ReadMachineClassRegistration(kProgId);
    EXPECT_EQ(machine.serverPath, L"C:\\machine.dll");
    EXPECT_FALSE(machine.fromUserClasses);

    support::DeleteUserKey(L"Software\\Classes\\" + ClassKey(kClsid));
    const ClassRegistration machineOnly = ReadMergedClassRegistration(kProgId);
    EXPECT_EQ(machineOnly.serverPath, L"C:\\machine.dll");
    EXPECT_FALSE(machineOnly.fromUserClasses);
}

} // namespace
} // namespace brevanto::platform_test
