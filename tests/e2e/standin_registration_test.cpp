#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "platform/base/program_directory.h"
#include "platform/base/utf8.h"
#include "platform/registry/registry_value.h"
#include "platform/security/accounts.h"
#include "tests/conformance/conformance.h"
#include "tests/support/standin_library.h"

namespace brevanto::e2e {
namespace {

constexpr wchar_t kUserClassKey[] = L"Software\\Classes\\ZELTAR_User.clsCurrentUser\\CLSID";
constexpr wchar_t kViewerClassKey[] = L"Software\\Classes\\velmonic.labresultviewer\\CLSID";
constexpr wchar_t kUserServerKey[] =
    L"Software\\Classes\\CLSID\\{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C01}\\InprocServer32";
constexpr wchar_t kUserClsid[] = L"{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C01}";
constexpr wchar_t kViewerClsid[] = L"{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C02}";

std::string Value(HKEY root, const wchar_t* key) {
    const auto text = TryReadRegistryText(root, key, nullptr, Expansion::AsStored);
    return text ? Utf8(*text) : "(absent)";
}

// Registers the stand-ins as every test expects them when the guard ends, whatever a test took
// away.
class StandinRegistration : public testing::Test {
protected:
    void TearDown() override { support::RegisterStandins(ProgramDirectory()); }

    const support::StandinLibrary library_{ProgramDirectory()};
    const std::string dll_ = Utf8(ProgramDirectory() + L"\\BrevantoStandin.dll");
};

// What regsvr32 /i:user and /u /i:user do: the user's classes only, whatever the machine holds.
TEST_F(StandinRegistration, DllInstallForTheUserWritesAndRemovesTheUsersClassesOnly) {
    const std::string machineServer = Value(HKEY_LOCAL_MACHINE, kUserServerKey);

    ASSERT_EQ(library_.DllInstall(true, L"user"), S_OK);
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kUserClassKey), Utf8(kUserClsid));
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kViewerClassKey), Utf8(kViewerClsid));
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kUserServerKey), dll_);

    ASSERT_EQ(library_.DllInstall(false, L"User"), S_OK);
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kUserClassKey), "(absent)");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kUserServerKey), "(absent)");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kUserServerKey), machineServer);
}

TEST_F(StandinRegistration, DllInstallForTheMachineWritesAndRemovesTheMachinesClasses) {
    if (!ProcessIsElevated())
        BREVANTO_SKIP(runner::kNeedsElevationSkip, "the machine's classes are administrators'");

    ASSERT_EQ(library_.DllInstall(false, L"machine"), S_OK);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kUserClassKey), "(absent)");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kUserServerKey), "(absent)");

    ASSERT_EQ(library_.DllInstall(true, L"machine"), S_OK);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kUserClassKey), Utf8(kUserClsid));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kViewerClassKey), Utf8(kViewerClsid));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kUserServerKey), dll_);
}

TEST_F(StandinRegistration, DllInstallRefusesAScopeItDoesNotKnow) {
    const wchar_t* const unknown[] = {L"", L"everyone", L"machine user"};
    for (const wchar_t* commandLine : unknown) {
        SCOPED_TRACE(Utf8(commandLine));
        EXPECT_EQ(library_.DllInstall(true, commandLine), E_INVALIDARG);
        EXPECT_EQ(library_.DllInstall(false, commandLine), E_INVALIDARG);
    }
}

} // namespace
} // namespace brevanto::e2e
