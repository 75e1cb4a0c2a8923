#include "tests/e2e/check_run.h"

#include <windows.h>

#include "platform/program_directory.h"
#include "platform/utf8.h"
#include "platform/windows_version.h"
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

TEST_F(NewLabUser, AUserRegistrationOverTheMachinesIsAProblemAndTheDllThatServedIsNamed) {
    CheckRun run;
    {
        const UserRegistration registration;
        run = RunCheck();
    }
    const std::wstring& report = run.output;
    EXPECT_EQ(run.status, 1) << Utf8(report);
    const std::wstring copy = UserRegistration::Copy();
    const std::wstring standin = UserRegistration::Standin();
    for (const std::wstring& line :
         {Row(L"Registered", L"for this user (HKEY_CURRENT_USER\\Software\\Classes), over the "
                             L"machine's registration of " +
                                 standin),
          Row(L"Server", L"InprocServer32 " + copy),
          L"  1. \"velmonic.labresultviewer\" (viewer component) is registered for this user "
          L"(HKEY_CURRENT_USER\\Software\\Classes) over the machine's registration: Brevanto would "
          L"load " +
              copy + L", not the machine's " + standin +
              L": remove this user's registration of the class, so that the machine's "
              L"applies.\r\n"})
        EXPECT_NE(report.find(line), std::wstring::npos) << Utf8(line) << "\n" << Utf8(report);

    // Windows creates the object from the user's DLL. Wine does not merge the user's classes
    // into the classes root and creates it from the machine's: the check says which served it.
    if (!RunsUnderWine())
        GTEST_SKIP() << "Windows serves the user's registration as registered";
    for (const std::wstring& line : {Row(L"Served by", standin + L", not the registered DLL"),
                                     L"  - \"velmonic.labresultviewer\" was served by " + standin +
                                         L", not by the registered " + copy +
                                         L" (Wine does not merge the user's classes into the "
                                         L"classes root; Windows does).\r\n"})
        EXPECT_NE(report.find(line), std::wstring::npos) << Utf8(line) << "\n" << Utf8(report);
}

} // namespace
} // namespace brevanto::e2e
