#include "tests/e2e/check_run.h"

#include <windows.h>

#include "platform/base/program_directory.h"
#include "platform/base/utf8.h"
#include "platform/security/accounts.h"
#include "tests/support/settings.h"

namespace brevanto::e2e {
namespace {

void StoreUserText(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
    support::StoreUserValue(key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// The viewer registered again for this user alone, with a copy of the stand-ins' DLL.
class UserRegistration {
public:
    UserRegistration() {
        EXPECT_TRUE(CopyFileW(Standin().c_str(), Copy().c_str(), FALSE));
        StoreUserText(Key() + L"\\InprocServer32", L"", Copy());
        StoreUserText(Key() + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    }
    ~UserRegistration() {
        support::DeleteUserKey(Key());
        DeleteFileW(Copy().c_str());
    }
    UserRegistration(const UserRegistration&) = delete;
    UserRegistration& operator=(const UserRegistration&) = delete;

    static std::wstring Standin() { return ProgramDirectory() + L"\\BrevantoStandin.dll"; }
    static std::wstring Copy() { return TempFolder() + L"\\BrevantoStandin-user.dll"; }

private:
    static std::wstring Key() { return L"Software\\Classes\\" + std::wstring(kViewerClsidKey); }
};

// The lab user's Brevanto.exe, not elevated, loads the user's DLL: a problem, whoever runs the
// check. COM ignores the user's classes in an elevated process (Wine's every process is elevated),
// so an elevated check shows and creates the machine's class, and says so.
TEST_F(NewLabUser, AUserRegistrationOverTheMachinesIsAProblemAndAnElevatedCheckShowsTheMachines) {
    CheckRun run;
    {
        const UserRegistration registration;
        run = RunCheck();
    }
    const std::wstring& report = run.output;
    EXPECT_EQ(run.status, 1) << Utf8(report);
    const bool elevated = ProcessIsElevated();
    const std::wstring copy = Shown(UserRegistration::Copy());
    const std::wstring standin = Shown(UserRegistration::Standin());
    for (const std::wstring& line :
         {Row(L"Registered", L"for this user (HKEY_CURRENT_USER\\\\Software\\\\Classes), over the "
                             L"machine's registration of " +
                                 standin +
                                 (elevated ? L"; this elevated check shows the machine's" : L"")),
          Row(L"Server", L"InprocServer32 " + (elevated ? standin : copy)),
          L"  1. \"velmonic.labresultviewer\" (viewer component) is registered for this user "
          L"(HKEY_CURRENT_USER\\\\Software\\\\Classes) over the machine's registration: Brevanto "
          L"would load " +
              copy + L", not the machine's " + standin +
              L": remove this user's registration of the class, so that the machine's "
              L"applies.\r\n"})
        EXPECT_NE(report.find(line), std::wstring::npos) << Utf8(line) << "\n" << Utf8(report);
    // What was created is what is shown: no other module served it.
    EXPECT_EQ(report.find(L"Served by"), std::wstring::npos) << Utf8(report);
    EXPECT_EQ(report.find(L"COM ignores the classes registered for the user") != std::wstring::npos,
              elevated)
        << Utf8(report);
}

} // namespace
} // namespace brevanto::e2e
